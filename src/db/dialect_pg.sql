-- The dialect on PostgreSQL: the functions that SQLite gets from the layer in C++,
-- written once more in SQL and PL/pgSQL. They live in the schema kelo, which every
-- session puts before pg_catalog in its search path, so that a function of the same
-- name and argument types as the engine's own (SUBSTR, LENGTH, TO_CHAR ...) is ours.
-- Rules: an empty text is NULL; numbers turn into text without trailing zeros and
-- without a leading zero (1500, .5); dates are day numbers since 1899-12-30 with the
-- time as the fraction; || takes NULL as the empty text. The layer rewrites DECODE,
-- TRIM, GREATEST and LEAST, which are syntax on this engine, into calls of
-- kelo_decode_eq, kelo_trim, kelo_greatest and kelo_least, and || into the operator
-- kelo.||| (kelo_concat), which binds as || does.

CREATE SCHEMA IF NOT EXISTS kelo;
SET search_path TO kelo, pg_catalog, public;

-- ---- numbers as text ------------------------------------------------------------

-- Fifteen significant digits, no trailing zeros, no leading zero before the point.
CREATE OR REPLACE FUNCTION kelo.num_text(v numeric) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    r numeric;
    t text;
    e integer;
BEGIN
    IF v IS NULL THEN
        RETURN NULL;
    END IF;
    IF v = 0 THEN
        RETURN '0';
    END IF;
    e := floor(log(abs(v)))::integer;
    r := round(v, 14 - e);
    t := pg_catalog.trim_scale(r)::text;
    IF position('.' IN t) > 0 THEN
        t := rtrim(rtrim(t, '0'), '.');
    END IF;
    IF t LIKE '0.%' THEN
        t := substring(t FROM 2);
    ELSIF t LIKE '-0.%' THEN
        t := '-' || substring(t FROM 3);
    END IF;
    -- Past forty characters the scientific form: 1E+80, -1.5E-300.
    IF char_length(ltrim(t, '-')) > 40 THEN
        r := round(CASE WHEN e >= 0 THEN abs(v) / power(10::numeric, e)
                        ELSE abs(v) * power(10::numeric, -e) END, 14);
        IF r >= 10 THEN
            r := r / 10;
            e := e + 1;
        END IF;
        t := rtrim(rtrim(pg_catalog.trim_scale(r)::text, '0'), '.');
        t := CASE WHEN v < 0 THEN '-' ELSE '' END || t || 'E' ||
             CASE WHEN e < 0 THEN '-' ELSE '+' END || abs(e)::text;
    END IF;
    RETURN t;
END $$;

-- A number from a text; NULL for NULL or an empty text, an error for anything else
-- that is not a decimal number.
CREATE OR REPLACE FUNCTION kelo.to_number(v text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF v IS NULL OR v = '' THEN
        RETURN NULL;
    END IF;
    IF v !~ '^\s*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?\s*$' THEN
        RAISE EXCEPTION 'TO_NUMBER: ''%'' is not a number', v USING ERRCODE = '22P02';
    END IF;
    RETURN btrim(v)::numeric;
END $$;
CREATE OR REPLACE FUNCTION kelo.to_number(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT v $$;

-- ---- NVL, NVL2, DECODE ---------------------------------------------------------------

CREATE OR REPLACE FUNCTION kelo.nvl(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN a IS NULL OR a = '' THEN b ELSE a END $$;
CREATE OR REPLACE FUNCTION kelo.nvl(a numeric, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT COALESCE(a, b) $$;
CREATE OR REPLACE FUNCTION kelo.nvl(a bytea, b bytea) RETURNS bytea
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT COALESCE(a, b) $$;

CREATE OR REPLACE FUNCTION kelo.nvl2(a text, b anycompatible, c anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN a IS NULL OR a = '' THEN c ELSE b END $$;
CREATE OR REPLACE FUNCTION kelo.nvl2(a numeric, b anycompatible, c anycompatible) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN a IS NULL THEN c ELSE b END $$;

-- DECODE's comparison: NULL (or an empty text) matches NULL; a number matches a text
-- that reads as the same number.
CREATE OR REPLACE FUNCTION kelo.kelo_decode_eq(a text, b text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN NULLIF(a, '') IS NULL OR NULLIF(b, '') IS NULL
                THEN NULLIF(a, '') IS NULL AND NULLIF(b, '') IS NULL
                ELSE a = b END
$$;
CREATE OR REPLACE FUNCTION kelo.kelo_decode_eq(a numeric, b numeric) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN a IS NULL OR b IS NULL THEN a IS NULL AND b IS NULL ELSE a = b END
$$;
CREATE OR REPLACE FUNCTION kelo.kelo_decode_eq(a numeric, b text) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF a IS NULL OR NULLIF(b, '') IS NULL THEN
        RETURN a IS NULL AND NULLIF(b, '') IS NULL;
    END IF;
    RETURN a = b::numeric;
EXCEPTION WHEN invalid_text_representation THEN
    RETURN kelo.num_text(a) = b;
END $$;
CREATE OR REPLACE FUNCTION kelo.kelo_decode_eq(a text, b numeric) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_decode_eq(b, a) $$;

-- ---- texts ----------------------------------------------------------------------------

-- a || b: NULL is the empty text and a result without characters is NULL; other values
-- turn into text as the engine's own || turns them. SQL functions, so that the planner
-- inlines them.
CREATE OR REPLACE FUNCTION kelo.kelo_concat(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT NULLIF(COALESCE(a, '') OPERATOR(pg_catalog.||) COALESCE(b, ''), '')
$$;
CREATE OR REPLACE FUNCTION kelo.kelo_concat(a anynonarray, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_concat(a::text, b) $$;
CREATE OR REPLACE FUNCTION kelo.kelo_concat(a text, b anynonarray) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_concat(a, b::text) $$;

-- SQL, so that the planner inlines it: SUBSTR(column, 1, 6) runs as the engine's own.
CREATE OR REPLACE FUNCTION kelo.substr(s text, pos integer, len integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN len < 1 THEN NULL
                WHEN pos > 0 THEN NULLIF(pg_catalog.substr(s, pos, len), '')
                WHEN pos = 0 THEN NULLIF(pg_catalog.substr(s, 1, len), '')
                WHEN char_length(s) + pos < 0 THEN NULL
                ELSE NULLIF(pg_catalog.substr(s, char_length(s) + pos + 1, len), '')
           END
$$;
CREATE OR REPLACE FUNCTION kelo.substr(s text, pos integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.substr(s, pos, char_length(s)) $$;
CREATE OR REPLACE FUNCTION kelo.substr(s text, pos numeric, len numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.substr(s, trunc(pos)::integer, trunc(len)::integer) $$;
CREATE OR REPLACE FUNCTION kelo.substr(s text, pos numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.substr(s, trunc(pos)::integer, char_length(s)) $$;
CREATE OR REPLACE FUNCTION kelo.substr(s numeric, pos integer, len integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.substr(kelo.num_text(s), pos, len) $$;
CREATE OR REPLACE FUNCTION kelo.substr(s numeric, pos integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.substr(kelo.num_text(s), pos) $$;

CREATE OR REPLACE FUNCTION kelo.length(s text) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT NULLIF(char_length(s), 0) $$;
CREATE OR REPLACE FUNCTION kelo.length(s numeric) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT char_length(kelo.num_text(s)) $$;

CREATE OR REPLACE FUNCTION kelo.kelo_trim(s text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT NULLIF(pg_catalog.btrim(s, ' '), '') $$;
CREATE OR REPLACE FUNCTION kelo.kelo_trim(s numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.num_text(s) $$;

CREATE OR REPLACE FUNCTION kelo.replace(s text, f text, t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN s IS NULL OR s = '' THEN NULL
                WHEN f IS NULL OR f = '' THEN s
                ELSE NULLIF(pg_catalog.replace(s, f, COALESCE(t, '')), '') END
$$;
CREATE OR REPLACE FUNCTION kelo.replace(s text, f text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.replace(s, f, '') $$;

CREATE OR REPLACE FUNCTION kelo.instr(s text, what text, start integer) RETURNS integer
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    hit integer;
BEGIN
    IF NULLIF(s, '') IS NULL OR NULLIF(what, '') IS NULL THEN
        RETURN NULL;
    END IF;
    IF start < 1 OR start > char_length(s) THEN
        RETURN 0;
    END IF;
    hit := strpos(pg_catalog.substr(s, start), what);
    RETURN CASE WHEN hit = 0 THEN 0 ELSE hit + start - 1 END;
END $$;
CREATE OR REPLACE FUNCTION kelo.instr(s text, what text) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.instr(s, what, 1) $$;

CREATE OR REPLACE FUNCTION kelo.initcap(s text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    out text := '';
    c text;
    start boolean := true;
BEGIN
    IF s IS NULL OR s = '' THEN
        RETURN NULL;
    END IF;
    FOREACH c IN ARRAY regexp_split_to_array(s, '') LOOP
        IF c ~ '^[A-Za-z0-9]$' THEN
            out := out || CASE WHEN start THEN upper(c) ELSE lower(c) END;
            start := false;
        ELSIF ascii(c) >= 128 THEN
            out := out || c;
            start := false;
        ELSE
            out := out || c;
            start := true;
        END IF;
    END LOOP;
    RETURN out;
END $$;

-- LPAD and RPAD: NULL for an empty text or fill and for a width below 1.
CREATE OR REPLACE FUNCTION kelo.kelo_pad(s text, n integer, fill text, on_left boolean) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN s IS NULL OR s = '' OR n IS NULL OR n < 1 OR fill IS NULL OR fill = '' THEN NULL
                WHEN on_left THEN pg_catalog.lpad(s, n, fill)
                ELSE pg_catalog.rpad(s, n, fill) END
$$;
CREATE OR REPLACE FUNCTION kelo.lpad(s text, n integer, fill text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_pad(s, n, fill, true) $$;
CREATE OR REPLACE FUNCTION kelo.lpad(s text, n integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_pad(s, n, ' ', true) $$;
CREATE OR REPLACE FUNCTION kelo.rpad(s text, n integer, fill text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_pad(s, n, fill, false) $$;
CREATE OR REPLACE FUNCTION kelo.rpad(s text, n integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_pad(s, n, ' ', false) $$;
CREATE OR REPLACE FUNCTION kelo.lpad(s numeric, n integer, fill text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.lpad(kelo.num_text(s), n, fill) $$;
CREATE OR REPLACE FUNCTION kelo.lpad(s numeric, n integer) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.lpad(kelo.num_text(s), n, ' ') $$;

-- ---- numbers -------------------------------------------------------------------------

CREATE OR REPLACE FUNCTION kelo.mod(a numeric, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN b = 0 THEN a ELSE a - b * trunc(a / b) END $$;
CREATE OR REPLACE FUNCTION kelo.mod(a integer, b integer) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN b = 0 THEN a ELSE pg_catalog.mod(a, b) END $$;
CREATE OR REPLACE FUNCTION kelo.mod(a bigint, b bigint) RETURNS bigint
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN b = 0 THEN a ELSE pg_catalog.mod(a, b) END $$;

CREATE OR REPLACE FUNCTION kelo.kelo_greatest(VARIADIC v anycompatiblearray) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN array_position(v, NULL) IS NOT NULL THEN NULL
                ELSE (SELECT max(x) FROM unnest(v) AS x) END
$$;
CREATE OR REPLACE FUNCTION kelo.kelo_least(VARIADIC v anycompatiblearray) RETURNS anycompatible
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN array_position(v, NULL) IS NOT NULL THEN NULL
                ELSE (SELECT min(x) FROM unnest(v) AS x) END
$$;

-- ---- dates ---------------------------------------------------------------------------

-- Day numbers and timestamps.
CREATE OR REPLACE FUNCTION kelo.serial_of(t timestamp) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT ((t::date - DATE '1899-12-30') +
            round(extract(epoch FROM t::time)::numeric / 86400, 10))::numeric
$$;
CREATE OR REPLACE FUNCTION kelo.timestamp_of(s numeric) RETURNS timestamp
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT TIMESTAMP '1899-12-30' + make_interval(days => floor(s)::integer,
                                                   secs => round((s - floor(s)) * 86400))
$$;

-- A date from a text of the implicit forms (YYYYMMDD, YYYYMMDDHH24MISS, YYYY-MM-DD,
-- YYYY-MM-DD HH24:MI:SS); an error naming the function when it is none.
CREATE OR REPLACE FUNCTION kelo.date_of(v text, fn text DEFAULT 'TO_DATE') RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    t timestamp;
    y integer;
    m integer;
    d integer;
BEGIN
    IF v IS NULL OR v = '' THEN
        RETURN NULL;
    END IF;
    -- A valid YYYYMMDD, the common case, without the exception block below (a
    -- subtransaction per call).
    IF v ~ '^[0-9]{8}$' THEN
        y := substring(v, 1, 4)::int;
        m := substring(v, 5, 2)::int;
        d := substring(v, 7, 2)::int;
        IF y >= 1 AND m BETWEEN 1 AND 12 AND d >= 1
           AND d <= extract(day FROM make_date(y, m, 1) + INTERVAL '1 month - 1 day') THEN
            RETURN kelo.serial_of(make_timestamp(y, m, d, 0, 0, 0));
        END IF;
    END IF;
    BEGIN
        IF v ~ '^[0-9]{8}$' THEN
            t := make_timestamp(substring(v, 1, 4)::int, substring(v, 5, 2)::int,
                                substring(v, 7, 2)::int, 0, 0, 0);
        ELSIF v ~ '^[0-9]{14}$' THEN
            t := make_timestamp(substring(v, 1, 4)::int, substring(v, 5, 2)::int,
                                substring(v, 7, 2)::int, substring(v, 9, 2)::int,
                                substring(v, 11, 2)::int, substring(v, 13, 2)::int);
        ELSIF v ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2}$' THEN
            t := make_timestamp(substring(v, 1, 4)::int, substring(v, 6, 2)::int,
                                substring(v, 9, 2)::int, 0, 0, 0);
        ELSIF v ~ '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' THEN
            t := make_timestamp(substring(v, 1, 4)::int, substring(v, 6, 2)::int,
                                substring(v, 9, 2)::int, substring(v, 12, 2)::int,
                                substring(v, 15, 2)::int, substring(v, 18, 2)::int);
        END IF;
    EXCEPTION WHEN others THEN
        t := NULL;
    END;
    IF t IS NULL THEN
        RAISE EXCEPTION '%: ''%'' is not a valid date', fn, v USING ERRCODE = '22008';
    END IF;
    RETURN kelo.serial_of(t);
END $$;

-- The format with the Korean day names put in as literals, RR and RRRR as years.
CREATE OR REPLACE FUNCTION kelo.date_format(fmt text, t timestamp) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    names text[] := ARRAY['일요일', '월요일', '화요일', '수요일', '목요일', '금요일', '토요일'];
    day text := names[extract(dow FROM t)::int + 1];
    out text := '';
    i integer := 1;
    n integer := char_length(fmt);
    q integer;
    u text;
BEGIN
    WHILE i <= n LOOP
        u := upper(pg_catalog.substr(fmt, i, 4));
        IF pg_catalog.substr(fmt, i, 1) = '"' THEN
            q := strpos(pg_catalog.substr(fmt, i + 1), '"');
            IF q = 0 THEN
                q := n - i + 1;
            END IF;
            out := out || pg_catalog.substr(fmt, i, q + 1);
            i := i + q + 1;
        ELSIF u LIKE 'DAY%' THEN
            out := out || '"' || day || '"';
            i := i + 3;
        ELSIF u LIKE 'DY%' THEN
            out := out || '"' || pg_catalog.substr(day, 1, 1) || '"';
            i := i + 2;
        ELSIF u = 'RRRR' THEN
            out := out || 'YYYY';
            i := i + 4;
        ELSIF u LIKE 'RR%' THEN
            out := out || 'YY';
            i := i + 2;
        ELSE
            out := out || pg_catalog.substr(fmt, i, 1);
            i := i + 1;
        END IF;
    END LOOP;
    RETURN out;
END $$;

-- A number format: digits 9 and 0 with , . $ S G L and FM only.
CREATE OR REPLACE FUNCTION kelo.is_number_format(fmt text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT upper(replace(upper(fmt), 'FM', '')) ~ '^[90,.$SGL]*$' AND fmt ~ '[90]'
$$;

CREATE OR REPLACE FUNCTION kelo.to_char(v numeric, fmt text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF v IS NULL THEN
        RETURN NULL;
    END IF;
    IF fmt IS NULL OR fmt = '' THEN
        RETURN kelo.num_text(v);
    END IF;
    -- The business dates' formats, which date_format leaves as they are.
    IF fmt IN ('YYYYMMDD', 'YYYYMM', 'YYYY', 'MM', 'DD', 'YYYY-MM-DD') THEN
        RETURN NULLIF(pg_catalog.to_char(kelo.timestamp_of(v), fmt), '');
    END IF;
    IF kelo.is_number_format(fmt) THEN
        -- A value too wide for the model: a # for every place of it and the sign.
        IF position('#' IN pg_catalog.to_char(v, fmt)) > 0 THEN
            RETURN repeat('#', char_length(replace(upper(fmt), 'FM', '')) + 1);
        END IF;
        RETURN NULLIF(pg_catalog.to_char(v, fmt), '');
    END IF;
    RETURN NULLIF(pg_catalog.to_char(kelo.timestamp_of(v),
                                     kelo.date_format(fmt, kelo.timestamp_of(v))), '');
END $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v text, fmt text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF v IS NULL OR v = '' THEN
        RETURN NULL;
    END IF;
    IF fmt IS NULL OR fmt = '' THEN
        RETURN v;
    END IF;
    IF kelo.is_number_format(fmt) THEN
        RETURN kelo.to_char(kelo.to_number(v), fmt);
    END IF;
    RETURN kelo.to_char(kelo.date_of(v, 'TO_CHAR'), fmt);
END $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v numeric) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.num_text(v) $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT NULLIF(v, '') $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v bigint, fmt text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_char(v::numeric, fmt) $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v integer, fmt text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_char(v::numeric, fmt) $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v double precision, fmt text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_char(v::numeric, fmt) $$;
CREATE OR REPLACE FUNCTION kelo.to_char(v double precision) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.num_text(v::numeric) $$;

CREATE OR REPLACE FUNCTION kelo.to_date(v text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.date_of(v, 'TO_DATE') $$;
CREATE OR REPLACE FUNCTION kelo.to_date(v numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT v $$;
CREATE OR REPLACE FUNCTION kelo.to_date(v text, fmt text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    t timestamp;
BEGIN
    IF v IS NULL OR v = '' THEN
        RETURN NULL;
    END IF;
    IF fmt IS NULL OR fmt = '' THEN
        RETURN kelo.date_of(v, 'TO_DATE');
    END IF;
    BEGIN
        t := pg_catalog.to_timestamp(v, replace(replace(upper(fmt), 'RRRR', 'YYYY'), 'RR', 'YY'))::timestamp;
    EXCEPTION WHEN others THEN
        RAISE EXCEPTION 'TO_DATE: ''%'' does not match the format %', v, fmt
            USING ERRCODE = '22007';
    END;
    RETURN kelo.serial_of(t);
END $$;

-- The date a value stands for: a day number, or a text of the implicit forms.
CREATE OR REPLACE FUNCTION kelo.add_months(d numeric, months numeric) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    t timestamp;
    r timestamp;
BEGIN
    IF d IS NULL OR months IS NULL THEN
        RETURN NULL;
    END IF;
    t := kelo.timestamp_of(d);
    r := t + make_interval(months => trunc(months)::integer);
    -- The last day of a month gives the last day of the target month.
    IF t::date = (date_trunc('month', t) + INTERVAL '1 month - 1 day')::date THEN
        r := (date_trunc('month', r) + INTERVAL '1 month - 1 day')::date + t::time;
    END IF;
    RETURN kelo.serial_of(r);
END $$;
CREATE OR REPLACE FUNCTION kelo.add_months(d text, months numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.add_months(kelo.date_of(d, 'ADD_MONTHS'), months) $$;

-- PL/pgSQL: as SQL the planner would not inline it (it reads its argument twice) and every
-- call would run as a statement of its own.
CREATE OR REPLACE FUNCTION kelo.last_day(d numeric) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    t timestamp := kelo.timestamp_of(d);
BEGIN
    RETURN kelo.serial_of((date_trunc('month', t) + INTERVAL '1 month - 1 day')::date + t::time);
END $$;
CREATE OR REPLACE FUNCTION kelo.last_day(d text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.last_day(kelo.date_of(d, 'LAST_DAY')) $$;

-- Local time, or the clock a test fixes with kelo.now (yyyyMMddHHmmss).
CREATE OR REPLACE FUNCTION kelo.sysdate() RETURNS numeric
LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE
    fixed text := current_setting('kelo.now', true);
BEGIN
    IF fixed IS NOT NULL AND fixed <> '' THEN
        RETURN kelo.date_of(rpad(fixed, 14, '0'), 'SYSDATE');
    END IF;
    RETURN kelo.serial_of(localtimestamp(0));
END $$;

-- ROUND and TRUNC of a date to the day, month or year.
CREATE OR REPLACE FUNCTION kelo.date_by_unit(d numeric, unit text, rounding boolean) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    u text := upper(unit);
    t timestamp := kelo.timestamp_of(d);
BEGIN
    IF u IN ('DD', 'DDD', 'J') THEN
        RETURN CASE WHEN rounding THEN floor(d + 0.5) ELSE floor(d) END;
    ELSIF u IN ('MM', 'MONTH', 'MON') THEN
        RETURN kelo.serial_of(date_trunc('month', t));
    ELSIF u IN ('YYYY', 'YEAR', 'YY', 'Y') THEN
        RETURN kelo.serial_of(date_trunc('year', t));
    END IF;
    RAISE EXCEPTION '%: unknown date unit %', CASE WHEN rounding THEN 'ROUND' ELSE 'TRUNC' END, unit;
END $$;
-- A number of places (a text of digits), or a date unit.
CREATE OR REPLACE FUNCTION kelo.round_or_trunc(v numeric, unit text, rounding boolean) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
BEGIN
    IF unit ~ '^\s*[+-]?[0-9]+\s*$' THEN
        RETURN CASE WHEN rounding THEN pg_catalog.round(v, unit::integer)
                    ELSE pg_catalog.trunc(v, unit::integer) END;
    END IF;
    RETURN kelo.date_by_unit(v, unit, rounding);
END $$;
CREATE OR REPLACE FUNCTION kelo.round(v numeric, unit text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.round_or_trunc(v, unit, true) $$;
CREATE OR REPLACE FUNCTION kelo.trunc(v numeric, unit text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.round_or_trunc(v, unit, false) $$;
CREATE OR REPLACE FUNCTION kelo.round(v text, places integer) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT pg_catalog.round(kelo.to_number(v), places) $$;
CREATE OR REPLACE FUNCTION kelo.round(v text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT pg_catalog.round(kelo.to_number(v)) $$;

-- ---- a text where a number is due ---------------------------------------------------
-- Arithmetic between a text and a number reads the text as a number, as the suite's
-- statements expect (SUBSTR(:ASALE_DATE, 7, 2) * 1).

CREATE OR REPLACE FUNCTION kelo.text_plus(a numeric, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + kelo.to_number(b) $$;
CREATE OR REPLACE FUNCTION kelo.text_minus(a numeric, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a - kelo.to_number(b) $$;
CREATE OR REPLACE FUNCTION kelo.text_times(a numeric, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a * kelo.to_number(b) $$;
CREATE OR REPLACE FUNCTION kelo.text_divided(a numeric, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a / kelo.to_number(b) $$;
CREATE OR REPLACE FUNCTION kelo.plus_text(a text, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) + b $$;
CREATE OR REPLACE FUNCTION kelo.minus_text(a text, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) - b $$;
CREATE OR REPLACE FUNCTION kelo.times_text(a text, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) * b $$;
CREATE OR REPLACE FUNCTION kelo.divided_text(a text, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) / b $$;
CREATE OR REPLACE FUNCTION kelo.texts_minus(a text, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) - kelo.to_number(b) $$;
CREATE OR REPLACE FUNCTION kelo.texts_times(a text, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) * kelo.to_number(b) $$;
CREATE OR REPLACE FUNCTION kelo.texts_divided(a text, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.to_number(a) / kelo.to_number(b) $$;

DO $$
DECLARE
    op record;
BEGIN
    FOR op IN SELECT * FROM (VALUES
        ('+', 'numeric', 'text', 'text_plus'), ('-', 'numeric', 'text', 'text_minus'),
        ('*', 'numeric', 'text', 'text_times'), ('/', 'numeric', 'text', 'text_divided'),
        ('+', 'text', 'numeric', 'plus_text'), ('-', 'text', 'numeric', 'minus_text'),
        ('*', 'text', 'numeric', 'times_text'), ('/', 'text', 'numeric', 'divided_text'),
        ('-', 'text', 'text', 'texts_minus'), ('*', 'text', 'text', 'texts_times'),
        ('/', 'text', 'text', 'texts_divided'), ('|||', 'text', 'text', 'kelo_concat'),
        ('|||', 'anynonarray', 'text', 'kelo_concat'),
        ('|||', 'text', 'anynonarray', 'kelo_concat')) AS o(sym, l, r, fn)
    LOOP
        IF NOT EXISTS (SELECT 1 FROM pg_operator p JOIN pg_namespace n ON n.oid = p.oprnamespace
                       WHERE n.nspname = 'kelo' AND p.oprname = op.sym
                         AND p.oprleft = op.l::regtype AND p.oprright = op.r::regtype) THEN
            EXECUTE format('CREATE OPERATOR kelo.%s (LEFTARG = %s, RIGHTARG = %s, FUNCTION = kelo.%s)',
                           op.sym, op.l, op.r, op.fn);
        END IF;
    END LOOP;
END $$;

-- GROUP_CONCAT(text[, separator]), as SQLite has it (a NULL separator is none).
CREATE OR REPLACE FUNCTION kelo.kelo_concat_step(acc text, v text, sep text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN v IS NULL THEN acc WHEN acc IS NULL THEN v
                ELSE acc || COALESCE(sep, '') || v END
$$;
CREATE OR REPLACE FUNCTION kelo.kelo_concat_step(acc text, v text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kelo.kelo_concat_step(acc, v, ',') $$;
CREATE OR REPLACE AGGREGATE kelo.group_concat(text, text) (SFUNC = kelo.kelo_concat_step, STYPE = text);
CREATE OR REPLACE AGGREGATE kelo.group_concat(text) (SFUNC = kelo.kelo_concat_step, STYPE = text);

-- The one-row table.
CREATE TABLE IF NOT EXISTS kelo.DUAL (DUMMY TEXT NOT NULL);
INSERT INTO kelo.DUAL SELECT 'X' WHERE NOT EXISTS (SELECT 1 FROM kelo.DUAL);
