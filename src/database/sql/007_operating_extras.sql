-- Two small operating tables: the gondola's gate passages and the daily attendance.
--
-- GA010MS: the passages through the gondola's gate (outlet 5002) per business date, gate hour
-- ('08' .. '17') and kind of ticket; the kind is the ticket's sale item (JB010MS.MENU_CODE of
-- the outlet) as its point-of-sale lines in IA010MS carry it.

CREATE TABLE GA010MS (
    SALE_DATE    TEXT NOT NULL,
    UPJANG_CODE  TEXT NOT NULL,
    GATE_HOUR    TEXT NOT NULL,
    TICKET_GUBUN TEXT NOT NULL,
    PASS_CNT     REAL,
    PRIMARY KEY (SALE_DATE, UPJANG_CODE, GATE_HOUR, TICKET_GUBUN)
) WITHOUT ROWID;

-- QA200MS: an employee's attendance of a working day: the times in and out ('HHMM', empty
-- when not at work) and the kind of attendance (set 'Q040': '10' at work, '20' leave,
-- '30' business trip, '40' absent).

CREATE TABLE QA200MS (
    WORK_DATE    TEXT NOT NULL,
    EMP_NO       TEXT NOT NULL,
    IN_TIME      TEXT,
    OUT_TIME     TEXT,
    ATTEND_GUBUN TEXT,
    PRIMARY KEY (WORK_DATE, EMP_NO)
) WITHOUT ROWID;
CREATE INDEX QA200MS_EMP ON QA200MS (EMP_NO, WORK_DATE);
