rem Tables the views and stored code of schema_code.sql read.
Prompt creating the lending tables
CREATE TABLE lib_branches (
  branch_id   NUMBER(6) NOT NULL,
  branch_name VARCHAR2(60) NOT NULL,
  city        VARCHAR2(40),
  CONSTRAINT lib_branches_pk PRIMARY KEY (branch_id)
);
/
CREATE TABLE lib_members (
  member_id  NUMBER(9) NOT NULL,
  branch_id  NUMBER(6),
  full_name  VARCHAR2(100 CHAR) NOT NULL,
  joined_on  DATE,
  profile    VARCHAR2(4000),
  CONSTRAINT lib_members_pk PRIMARY KEY (member_id)
);
CREATE TABLE lib_loans (
  loan_id    NUMBER(12) NOT NULL,
  member_id  NUMBER(9) NOT NULL,
  branch_id  NUMBER(6) NOT NULL,
  title      VARCHAR2(200) NOT NULL,
  lent_on    DATE NOT NULL,
  returned_on DATE,
  fee        NUMBER(8,2),
  CONSTRAINT lib_loans_pk PRIMARY KEY (loan_id)
);
CREATE TABLE lib_loan_audit (
  loan_id    NUMBER(12),
  action     VARCHAR2(10),
  changed_on DATE
);
