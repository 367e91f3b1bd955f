-- The demo users, created by SYSTEM. DEMO_APP gets what a schema owner needs
-- for the export and the compare (the SYS tables are read by the synonym
-- lists); DEMO_READER only logs on and keeps one private synonym.
CREATE USER demo_app IDENTIFIED BY demo_app_pw;
GRANT CONNECT, RESOURCE, CREATE VIEW, CREATE SYNONYM, CREATE PUBLIC SYNONYM,
  CREATE DATABASE LINK TO demo_app;
GRANT SELECT ON SYS.OBJ$ TO demo_app;
GRANT SELECT ON SYS.SYN$ TO demo_app;
GRANT SELECT ON SYS.USER$ TO demo_app;
CREATE USER demo_reader IDENTIFIED BY demo_reader_pw;
GRANT CONNECT, CREATE SYNONYM TO demo_reader;
