-- The role the statements of report definitions run as: the viewer switches to it
-- (SET LOCAL ROLE) inside its read-only transaction and back when the reads end. It may
-- read the tables of the schema kelo and call the functions there, and has no other
-- right of its own: not the signed-in role's, not to end or signal other sessions.
-- It is made here when the signed-in role may make roles; otherwise a server
-- administrator makes it first (docs/postgres.md). Every step may run again.
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'kelo_report') THEN
        IF NOT EXISTS (
            SELECT 1
            FROM pg_roles
            WHERE rolname = current_user
                AND (rolsuper OR rolcreaterole)
        ) THEN
            RETURN;
        END IF;
        BEGIN
            CREATE ROLE kelo_report NOLOGIN NOINHERIT;
        EXCEPTION WHEN duplicate_object OR unique_violation THEN
            NULL; -- made at the same moment by another session
        END;
    END IF;
    -- The signed-in role may switch to it.
    IF NOT pg_has_role(session_user, 'kelo_report', 'MEMBER') THEN
        BEGIN
            EXECUTE format('GRANT kelo_report TO %I', session_user);
        EXCEPTION WHEN insufficient_privilege THEN
            NULL; -- the server administrator grants it
        END;
    END IF;
    GRANT USAGE ON SCHEMA kelo TO kelo_report;
    GRANT SELECT ON ALL TABLES IN SCHEMA kelo TO kelo_report;
    GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA kelo TO kelo_report;
    -- Tables this role makes later are readable too.
    ALTER DEFAULT PRIVILEGES IN SCHEMA kelo GRANT SELECT ON TABLES TO kelo_report;
    -- Except the passwords of the web sign-in: taken back each time the grants above are
    -- given, so also after the schema script that makes the table (which the default
    -- privileges grant at once) and after an upgrade.
    IF to_regclass('kelo.web_password') IS NOT NULL THEN
        REVOKE ALL ON kelo.web_password FROM kelo_report;
        REVOKE ALL ON kelo.web_password FROM PUBLIC;
    END IF;
EXCEPTION WHEN unique_violation OR duplicate_object THEN
    NULL; -- catalog rows written at the same moment by another session
END $$;
