-- What the daily report data build (PR_SA000MS_01) reads beyond the columns the screens name:
-- the revenue division (set 'S0008') a sale item's sales count under, and on each
-- point-of-sale line the meal period of its bill (set 'S0009', F&B outlets) and how many of
-- its head count (KOREAN_QTY + FOREIGN_QTY) are guests staying at the hotels.

ALTER TABLE JB010MS ADD COLUMN DIVISION TEXT;

ALTER TABLE IA010MS ADD COLUMN MEAL_GUBUN TEXT;

ALTER TABLE IA010MS ADD COLUMN INHOUSE_QTY REAL;
