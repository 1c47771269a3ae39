-- The server functions of this database on PostgreSQL (SQLite gets them in C++ from
-- serverfunctions.cpp; the rules are the same and documented in docs/database.md).

SET search_path TO kelo, pg_catalog, public;

-- The first ('F') or last ('T') day of the business year that holds a date, the year
-- starting in the month of the setting.
CREATE OR REPLACE FUNCTION kelo.kelo_year_bound(d text, which text, setting text) RETURNS text
LANGUAGE plpgsql STABLE AS $$
DECLARE
    w text := upper(btrim(which));
    start_month integer;
    day date;
    first date;
BEGIN
    IF d IS NULL OR d = '' THEN
        RETURN NULL;
    END IF;
    IF w IS NULL OR w NOT IN ('F', 'T') THEN
        RAISE EXCEPTION 'FN_GET_YTD_DATE: the second argument is ''F'' or ''T''';
    END IF;
    SELECT CASE WHEN VALUE ~ '^[0-9]+$' THEN VALUE::integer END INTO start_month
    FROM kelo.KELO_SETTINGS
    WHERE NAME = setting;
    IF start_month IS NULL OR start_month < 1 OR start_month > 12 THEN
        start_month := 1;
    END IF;
    BEGIN
        IF d !~ '^[0-9]{8}$' THEN
            RAISE EXCEPTION 'bad';
        END IF;
        day := make_date(substring(d, 1, 4)::int, substring(d, 5, 2)::int, substring(d, 7, 2)::int);
    EXCEPTION WHEN others THEN
        RAISE EXCEPTION 'FN_GET_YTD_DATE: ''%'' is not a valid date', d;
    END;
    first := make_date(CASE WHEN extract(month FROM day) >= start_month
                            THEN extract(year FROM day)::int
                            ELSE extract(year FROM day)::int - 1 END, start_month, 1);
    RETURN to_char(CASE WHEN w = 'T' THEN first + INTERVAL '1 year' - INTERVAL '1 day'
                        ELSE first END, 'YYYYMMDD');
END $$;

-- A day number or an eight-digit business date written as a number.
CREATE OR REPLACE FUNCTION kelo.kelo_business_date(d numeric) RETURNS text
LANGUAGE sql IMMUTABLE AS $$
    SELECT CASE WHEN d > 10000000 THEN trunc(d)::bigint::text ELSE kelo.to_char(d, 'YYYYMMDD') END
$$;

CREATE OR REPLACE FUNCTION kelo.fn_get_ytd_date(d text, which text) RETURNS text
LANGUAGE sql STABLE AS $$ SELECT kelo.kelo_year_bound(d, which, 'BUSINESS_YEAR_START_MONTH') $$;
CREATE OR REPLACE FUNCTION kelo.fn_get_ytd_date(d numeric, which text) RETURNS text
LANGUAGE sql STABLE AS $$
    SELECT kelo.kelo_year_bound(kelo.kelo_business_date(d), which, 'BUSINESS_YEAR_START_MONTH')
$$;
CREATE OR REPLACE FUNCTION kelo.fn_get_ytd1_date(d text, which text) RETURNS text
LANGUAGE sql STABLE AS $$ SELECT kelo.kelo_year_bound(d, which, 'TARGET_YEAR_START_MONTH') $$;
CREATE OR REPLACE FUNCTION kelo.fn_get_ytd1_date(d numeric, which text) RETURNS text
LANGUAGE sql STABLE AS $$
    SELECT kelo.kelo_year_bound(kelo.kelo_business_date(d), which, 'TARGET_YEAR_START_MONTH')
$$;

-- Personal data masked for display: a resident registration number, an e-mail
-- address, a telephone number, an address; anything else unchanged.
CREATE OR REPLACE FUNCTION kelo.fn_za010ms_04(v text) RETURNS text
LANGUAGE plpgsql IMMUTABLE AS $$
DECLARE
    t text := btrim(v, E' \t\r\n');
    m text[];
    local text;
    keep integer;
    words text[];
    out text;
    pos integer;
    i integer;
BEGIN
    IF v IS NULL OR t = '' THEN
        RETURN NULLIF(v, '');
    END IF;
    m := regexp_match(t, '^([0-9]{6})(-?)([0-9])([0-9]{6})$');
    IF m IS NOT NULL THEN
        RETURN m[1] || m[2] || m[3] || '******';
    END IF;
    m := regexp_match(t, '^([^@[:space:]]+)@([^@[:space:]]+)$');
    IF m IS NOT NULL THEN
        local := m[1];
        keep := least(2, char_length(local));
        RETURN left(local, keep) || repeat('*', char_length(local) - keep) || '@' || m[2];
    END IF;
    m := regexp_match(t, '^(\(?[0-9]{2,4}\)?)([-. )])([0-9]{3,4})([-. ])([0-9]{4})$');
    IF m IS NOT NULL THEN
        RETURN m[1] || m[2] || repeat('*', char_length(m[3])) || m[4] || m[5];
    END IF;
    m := regexp_match(t, '^(0[0-9]{1,2})([0-9]{3,4})([0-9]{4})$');
    IF m IS NOT NULL AND char_length(t) IN (9, 10, 11) THEN
        RETURN m[1] || repeat('*', char_length(m[2])) || m[3];
    END IF;
    -- An address: four or more words with Korean letters or digits among them; every
    -- character of the fourth word on is starred, blanks kept.
    words := regexp_split_to_array(t, '\s+');
    IF array_length(words, 1) >= 4 AND t ~ '[0-9가-힣]' THEN
        out := '';
        i := 0;
        pos := 1;
        FOR pos IN 1 .. char_length(t) LOOP
            IF substring(t, pos, 1) ~ '\s' THEN
                out := out || substring(t, pos, 1);
            ELSE
                IF pos = 1 OR substring(t, pos - 1, 1) ~ '\s' THEN
                    i := i + 1;
                END IF;
                out := out || CASE WHEN i >= 4 THEN '*' ELSE substring(t, pos, 1) END;
            END IF;
        END LOOP;
        RETURN out;
    END IF;
    RETURN v;
END $$;
