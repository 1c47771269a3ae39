-- The tour gondola's reservations (outlet 5002): one row per reservation of a party.
--
-- GA020MS: RSV_NO the reservation number; USE_DATE and USE_HOUR ('08' .. '17') the date and
-- time slot booked; RSV_DATE the date the booking was made; RSV_NAME and TEL_NO the holder
-- (the number masked in its middle part); AGE_GUBUN the holder's age band ('10' teens, '20',
-- '30', '40', '50', '60' sixty and over); RSV_CNT the persons booked; STATUS_CODE 'I' tickets
-- issued, 'N' no-show, 'C' cancelled (on CANCEL_DATE); for an issued reservation ISSUE_HOUR
-- (the hour of issue), ISSUE_CNT (the tickets, at most the persons booked) and ISSUE_AMT.

CREATE TABLE GA020MS (
    RSV_NO      TEXT NOT NULL,
    UPJANG_CODE TEXT NOT NULL,
    USE_DATE    TEXT NOT NULL,
    USE_HOUR    TEXT NOT NULL,
    RSV_DATE    TEXT NOT NULL,
    RSV_NAME    TEXT,
    TEL_NO      TEXT,
    AGE_GUBUN   TEXT,
    RSV_CNT     REAL,
    STATUS_CODE TEXT NOT NULL,
    CANCEL_DATE TEXT,
    ISSUE_HOUR  TEXT,
    ISSUE_CNT   REAL,
    ISSUE_AMT   REAL,
    PRIMARY KEY (RSV_NO)
);
CREATE INDEX GA020MS_USE ON GA020MS (USE_DATE, USE_HOUR);
