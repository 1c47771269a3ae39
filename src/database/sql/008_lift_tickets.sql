-- The lift ticket office: how each lift ticket was sold (its discount, the online agency or the
-- tourism association member that sold or sent it), the agencies' commission rates and the
-- tourism association's members.
--
-- IB010MS: one row per point-of-sale line of the lift outlets (IA010MS of 5001 lift, 5004
-- night, 5007 season pass; same key). TICKET_KIND is the line's ticket kind (set 'I0005'),
-- DC_GUBUN the discount kind (set 'I0011'), AGENCY_CODE the online agency of an online sale
-- (set 'I0012'), ASSOC_CODE the tourism association member of an association ticket
-- (IB030MS), PKG_YN 'Y' for a ticket of a package. LIST_AMT is the tickets at the list
-- price, DC_AMT the discount, NET_AMT = LIST_AMT - DC_AMT the line's net amount.

CREATE TABLE IB010MS (
    SALE_DATE   TEXT NOT NULL,
    UPJANG_CODE TEXT NOT NULL,
    BILL_NO     TEXT NOT NULL,
    SEQ_NO      INTEGER NOT NULL,
    TICKET_KIND TEXT,
    DC_GUBUN    TEXT,
    AGENCY_CODE TEXT,
    ASSOC_CODE  TEXT,
    PKG_YN      TEXT DEFAULT 'N',
    SALE_QTY    REAL,
    LIST_AMT    REAL,
    DC_AMT      REAL,
    NET_AMT     REAL,
    PRIMARY KEY (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO)
) WITHOUT ROWID;
CREATE INDEX IB010MS_AGENCY ON IB010MS (AGENCY_CODE, SALE_DATE);

-- IB020MS: an online agency's commission rate (per cent of the net amount of its sales) from
-- DATE_FROM to DATE_TO.

CREATE TABLE IB020MS (
    AGENCY_CODE TEXT NOT NULL,
    DATE_FROM   TEXT NOT NULL,
    DATE_TO     TEXT,
    COMM_RATE   REAL,
    PRIMARY KEY (AGENCY_CODE, DATE_FROM)
);

-- IB030MS: the members of the tourism association (lodgings, restaurants and rental shops of
-- the area) whose guests buy lift tickets at the association's rate.

CREATE TABLE IB030MS (
    ASSOC_CODE  TEXT PRIMARY KEY,
    ASSOC_NAME  TEXT,
    ASSOC_GUBUN TEXT,
    USE_YN      TEXT DEFAULT 'Y'
);
