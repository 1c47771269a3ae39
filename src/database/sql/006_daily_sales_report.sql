-- The daily sales report data that PR_SRI200_01 builds for a business date: per outlet the
-- day's and the month's sales against the budget, guests, and at the hotels the rooms sold
-- and available. The dates built are recorded in SA091MS and SA092MS.

CREATE TABLE SA093MS (
    SALE_DATE     TEXT NOT NULL,
    UPJANG_CODE   TEXT NOT NULL,
    D_GUESTS      REAL,
    D_SALE_AMT    REAL,
    D_BUDGET_AMT  REAL,
    M_GUESTS      REAL,
    M_SALE_AMT    REAL,
    M_BUDGET_AMT  REAL,
    SOLD_RMS      REAL,
    AVAILABLE_RMS REAL,
    U_EMP_NO TEXT, U_DATE REAL, U_IP TEXT,
    PRIMARY KEY (SALE_DATE, UPJANG_CODE)
);
