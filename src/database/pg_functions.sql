-- The server functions of this database on PostgreSQL (SQLite gets them in C++ from
-- serverfunctions.cpp; the rules are the same and documented in docs/database.md).

SET search_path TO kelo, pg_catalog, public;
-- A function may be made before the tables it reads (KELO_SETTINGS).
SET check_function_bodies = off;

-- The year-to-date functions are plain SQL without exception blocks, so that the planner
-- inlines them into the statement; only the start month is read from the settings, once
-- per call.

-- An error raised from inside an expression. The value it is about is an argument so that
-- the planner, which folds calls of constants ahead of time, never raises it for a branch
-- it has not reached.
CREATE OR REPLACE FUNCTION kelo.kelo_fail(message text, about text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    RAISE EXCEPTION '%', message;
END $$;

CREATE OR REPLACE FUNCTION kelo.kelo_month_days(y integer, m integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN m = 2 THEN CASE WHEN (y % 4 = 0 AND y % 100 <> 0) OR y % 400 = 0 THEN 29 ELSE 28 END
                WHEN m IN (4, 6, 9, 11) THEN 30
                ELSE 31 END
$$;

-- Whether a text is a day of the calendar written YYYYMMDD; never an error.
CREATE OR REPLACE FUNCTION kelo.kelo_is_day(y integer, m integer, d integer) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT y >= 1 AND m BETWEEN 1 AND 12 AND d BETWEEN 1 AND kelo.kelo_month_days(y, m)
$$;
CREATE OR REPLACE FUNCTION kelo.kelo_is_ymd(d text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN d ~ '^[0-9]{8}$'
                THEN kelo.kelo_is_day(substring(d, 1, 4)::integer, substring(d, 5, 2)::integer,
                                      substring(d, 7, 2)::integer)
                ELSE false END
$$;

CREATE OR REPLACE FUNCTION kelo.kelo_ymd_text(y integer, m integer, d integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN y < 1000 THEN pg_catalog.lpad(y::text, 4, '0') ELSE y::text END
           OPERATOR(pg_catalog.||) pg_catalog.lpad(m::text, 2, '0')
           OPERATOR(pg_catalog.||) pg_catalog.lpad(d::text, 2, '0')
$$;

-- The first or last day of the business year that starts in month s (1 to 12) and holds
-- the year y and month m.
CREATE OR REPLACE FUNCTION kelo.kelo_year_day(y integer, m integer, s integer, last boolean) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN NOT last THEN kelo.kelo_ymd_text(CASE WHEN m >= s THEN y ELSE y - 1 END, s, 1)
                WHEN s = 1 THEN kelo.kelo_ymd_text(y, 12, 31)
                ELSE kelo.kelo_ymd_text(CASE WHEN m >= s THEN y + 1 ELSE y END, s - 1,
                                        kelo.kelo_month_days(CASE WHEN m >= s THEN y + 1 ELSE y END, s - 1))
           END
$$;

-- The month the business year of a setting starts in: 1 when the setting is missing or
-- is no month. PL/pgSQL, which keeps the plan of its read for the session: as SQL (never
-- inlined, it reads a table) every statement that called it planned the read again.
CREATE OR REPLACE FUNCTION kelo.kelo_start_month(setting text) RETURNS integer
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
    RETURN COALESCE((SELECT CASE WHEN VALUE ~ '^[0-9]+$'
                                 THEN CASE WHEN VALUE::numeric BETWEEN 1 AND 12 THEN VALUE::integer END
                            END
                     FROM kelo.KELO_SETTINGS
                     WHERE NAME = setting
                     LIMIT 1), 1);
END $$;

-- The first ('F') or last ('T') day of the business year that holds a date YYYYMMDD, the
-- year starting in month s.
CREATE OR REPLACE FUNCTION kelo.kelo_year_bound_in(d text, which text, s integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN d IS NULL OR d = '' THEN NULL
                WHEN upper(btrim(which)) IS NULL OR upper(btrim(which)) NOT IN ('F', 'T')
                    THEN kelo.kelo_fail('FN_GET_YTD_DATE: the second argument is ''F'' or ''T''', which)
                WHEN NOT kelo.kelo_is_ymd(d)
                    THEN kelo.kelo_fail('FN_GET_YTD_DATE: ''' OPERATOR(pg_catalog.||) d
                                        OPERATOR(pg_catalog.||) ''' is not a valid date', d)
                ELSE kelo.kelo_year_day(substring(d, 1, 4)::integer, substring(d, 5, 2)::integer, s,
                                        upper(btrim(which)) = 'T')
           END
$$;

-- The same with the start month of a setting.
CREATE OR REPLACE FUNCTION kelo.kelo_year_bound(d text, which text, setting text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
    SELECT kelo.kelo_year_bound_in(d, which, kelo.kelo_start_month(setting))
$$;

-- A day number or an eight-digit business date written as a number.
CREATE OR REPLACE FUNCTION kelo.kelo_business_date(d numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN d > 10000000 THEN trunc(d)::bigint::text ELSE kelo.to_char(d, 'YYYYMMDD') END
$$;

CREATE OR REPLACE FUNCTION kelo.fn_get_ytd_date(d text, which text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_year_bound(d, which, 'BUSINESS_YEAR_START_MONTH') $$;
CREATE OR REPLACE FUNCTION kelo.fn_get_ytd_date(d numeric, which text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
    SELECT kelo.kelo_year_bound(kelo.kelo_business_date(d), which, 'BUSINESS_YEAR_START_MONTH')
$$;
CREATE OR REPLACE FUNCTION kelo.fn_get_ytd1_date(d text, which text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_year_bound(d, which, 'TARGET_YEAR_START_MONTH') $$;
CREATE OR REPLACE FUNCTION kelo.fn_get_ytd1_date(d numeric, which text) RETURNS text
LANGUAGE sql STABLE PARALLEL SAFE AS $$
    SELECT kelo.kelo_year_bound(kelo.kelo_business_date(d), which, 'TARGET_YEAR_START_MONTH')
$$;

-- Personal data masked for display: a resident registration number, an e-mail
-- address, a telephone number, an address; anything else unchanged.
CREATE OR REPLACE FUNCTION kelo.fn_za010ms_04(v text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
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

RESET check_function_bodies;
