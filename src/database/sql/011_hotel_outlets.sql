-- The hotels: the outlets of management division '10'. The room reports read their outlets
-- and the hotel names of their prompts from here rather than each spelling the rule again.

CREATE VIEW HOTEL_OUTLETS AS
SELECT UPJANG_CODE,
    UPJANG_NAME,
    UPJANG_ENG_NAME,
    MIS_DISPLAY_SEQ
FROM JA010MS
WHERE MIS_UPJANG_GUBUN1 = '10';
