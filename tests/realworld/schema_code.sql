REM Views, stored code and SQL*Plus commands of a small lending schema.
rem Every view and unit here must load without a refusal.
set define off
SET SERVEROUTPUT ON SIZE 1000000
Set Echo Off
prompt Tables
@@schema_code_tables

PROMPT Views
CREATE OR REPLACE VIEW lib_loan_overview AS
SELECT l.loan_id, m.full_name AS member_name, b.branch_name,
       CASE WHEN l.returned_on IS NULL THEN 'OPEN' ELSE 'CLOSED' END AS loan_state,
       COALESCE(l.fee, 0) AS fee_due, NVL(b.city, 'unknown') city,
       DECODE(l.returned_on, NULL, 'N', 'Y') AS returned_flag
  FROM lib_loans l
  INNER JOIN lib_members m ON m.member_id = l.member_id
  LEFT OUTER JOIN lib_branches b ON b.branch_id = l.branch_id;

CREATE OR REPLACE VIEW lib_branch_members AS
SELECT branch_id, b.branch_name, m.full_name
  FROM lib_branches b JOIN lib_members m USING (branch_id);

CREATE OR REPLACE VIEW lib_all_pairs AS
SELECT b.branch_name, m.full_name
  FROM lib_branches b
  CROSS JOIN lib_members m
  RIGHT JOIN lib_loans l ON l.member_id = m.member_id
  FULL OUTER JOIN lib_loan_audit a ON a.loan_id = l.loan_id;

CREATE OR REPLACE VIEW lib_member_ranking AS
SELECT member_id, branch_id,
       ROW_NUMBER() OVER (PARTITION BY branch_id ORDER BY joined_on) AS join_rank,
       DENSE_RANK() OVER (ORDER BY joined_on DESC NULLS LAST) AS recency,
       LAG(joined_on) OVER (PARTITION BY branch_id ORDER BY joined_on) AS previous_join,
       COUNT(*) OVER (PARTITION BY branch_id) AS branch_size,
       SUM(member_id) OVER (ORDER BY member_id ROWS BETWEEN UNBOUNDED PRECEDING AND CURRENT ROW) AS running_ids
  FROM lib_members;

CREATE OR REPLACE VIEW lib_titles_per_member AS
SELECT member_id,
       LISTAGG(title, '; ' ON OVERFLOW TRUNCATE '...' WITH COUNT) WITHIN GROUP (ORDER BY lent_on) AS titles,
       COUNT(*) AS loans, MAX(lent_on) AS last_loan, AVG(fee) AS average_fee
  FROM lib_loans
 GROUP BY member_id
HAVING COUNT(*) > 0;

CREATE OR REPLACE VIEW lib_fee_totals AS
SELECT branch_id, member_id, SUM(fee) AS total_fee,
       GROUPING_ID(branch_id, member_id) AS grouping_level
  FROM lib_loans
 GROUP BY GROUPING SETS ((branch_id, member_id), (branch_id), ());

CREATE OR REPLACE VIEW lib_fee_rollup AS
SELECT branch_id, EXTRACT(YEAR FROM lent_on) AS loan_year, SUM(fee) AS total_fee, GROUPING(branch_id) AS is_total
  FROM lib_loans
 GROUP BY ROLLUP (branch_id, EXTRACT(YEAR FROM lent_on));

CREATE OR REPLACE VIEW lib_fee_cube AS
SELECT branch_id, member_id, COUNT(*) AS loans
  FROM lib_loans
 GROUP BY CUBE (branch_id, member_id);

CREATE OR REPLACE VIEW lib_people AS
SELECT member_id AS person_id, full_name AS person_name, 'MEMBER' AS kind FROM lib_members
UNION ALL
SELECT branch_id, branch_name, 'BRANCH' FROM lib_branches
MINUS
SELECT loan_id, title, 'LOAN' FROM lib_loans;

CREATE OR REPLACE VIEW lib_busy_members AS
SELECT m.member_id, m.full_name,
       (SELECT COUNT(*) FROM lib_loans l WHERE l.member_id = m.member_id) AS loan_count
  FROM lib_members m
 WHERE EXISTS (SELECT 1 FROM lib_loans l WHERE l.member_id = m.member_id AND l.returned_on IS NULL)
   AND m.branch_id IN (SELECT branch_id FROM lib_branches WHERE city IS NOT NULL);

CREATE OR REPLACE VIEW lib_member_phones AS
SELECT m.member_id, j.phone_type, j.phone_number, j.seq, j.tag
  FROM lib_members m,
       JSON_TABLE(m.profile, '$'
         COLUMNS (seq FOR ORDINALITY,
                  NESTED PATH '$.phones[*]'
                    COLUMNS (phone_type VARCHAR2(10) PATH '$.type',
                             phone_number VARCHAR2(30 CHAR) PATH '$.number',
                             NESTED PATH '$.tags[*]' COLUMNS (tag VARCHAR2(20) PATH '$')))) j;

CREATE OR REPLACE VIEW lib_loan_casts AS
SELECT CAST(loan_id AS VARCHAR2(20)) AS loan_key, CAST(fee AS NUMBER(10,2)) AS fee, TRUNC(lent_on) AS lent_day
  FROM lib_loans;

PROMPT Stored code
CREATE OR REPLACE FUNCTION lib_fee_for(p_days IN NUMBER) RETURN NUMBER IS
BEGIN
  IF p_days > 14 THEN
    RETURN (p_days - 14) * 0.5;
  END IF;
  RETURN 0;
END lib_fee_for;
/
show errors

CREATE OR REPLACE PROCEDURE lib_close_loan(p_loan_id IN NUMBER) AS
BEGIN
  UPDATE lib_loans SET returned_on = SYSDATE WHERE loan_id = p_loan_id;
END;
/
SHOW ERRORS PROCEDURE lib_close_loan

CREATE OR REPLACE PACKAGE lib_lending AS
  c_max_loans CONSTANT PLS_INTEGER := 5;
  PROCEDURE lend(p_member_id IN NUMBER, p_title IN VARCHAR2);
  FUNCTION open_loans(p_member_id IN NUMBER) RETURN NUMBER;
END lib_lending;
/
CREATE OR REPLACE PACKAGE BODY lib_lending AS
  PROCEDURE lend(p_member_id IN NUMBER, p_title IN VARCHAR2) IS
  BEGIN
    IF open_loans(p_member_id) >= c_max_loans THEN
      RAISE_APPLICATION_ERROR(-20001, 'too many open loans');
    END IF;
  END lend;

  FUNCTION open_loans(p_member_id IN NUMBER) RETURN NUMBER IS
    n NUMBER;
  BEGIN
    SELECT COUNT(*) INTO n FROM lib_loans WHERE member_id = p_member_id AND returned_on IS NULL;
    RETURN n;
  END open_loans;
END lib_lending;
/
sho err

CREATE OR REPLACE TRIGGER lib_loans_fee_bi
  BEFORE INSERT OR UPDATE OF fee ON lib_loans
  FOR EACH ROW
  WHEN (new.fee < 0)
BEGIN
  :new.fee := 0;
END;
/

CREATE OR REPLACE TRIGGER lib_loans_audit
  FOR INSERT OR UPDATE OR DELETE ON lib_loans
  COMPOUND TRIGGER
  TYPE t_ids IS TABLE OF NUMBER INDEX BY PLS_INTEGER;
  g_ids t_ids;
  BEFORE STATEMENT IS
  BEGIN
    g_ids.DELETE;
  END BEFORE STATEMENT;
  AFTER EACH ROW IS
  BEGIN
    g_ids(g_ids.COUNT + 1) := :new.loan_id;
  END AFTER EACH ROW;
  AFTER STATEMENT IS
  BEGIN
    FORALL i IN 1 .. g_ids.COUNT
      INSERT INTO lib_loan_audit (loan_id, action, changed_on) VALUES (g_ids(i), 'CHANGE', SYSDATE);
  END AFTER STATEMENT;
END lib_loans_audit;
/

CREATE OR REPLACE TRIGGER lib_loan_overview_io
  INSTEAD OF UPDATE ON lib_loan_overview
  FOR EACH ROW
BEGIN
  UPDATE lib_loans SET fee = :new.fee_due WHERE loan_id = :old.loan_id;
END;
/
