-- The passwords of the web sign-in: one per employee, as the salted slow hash of the text
-- (Argon2id, the whole parameter string with its salt); U_DATE is when it was set. The
-- report role may not read it (src/db/report_role_pg.sql), so that no report definition
-- shows the hashes.

CREATE TABLE WEB_PASSWORD (
    EMP_NO        TEXT PRIMARY KEY,
    PASSWORD_HASH TEXT NOT NULL,
    U_DATE        REAL
);
