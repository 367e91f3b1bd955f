-- The demo application schema, created by DEMO_APP: a small book shop.

CREATE TABLE countries (
  code        CHAR(2 BYTE) NOT NULL,
  name        VARCHAR2(60 CHAR) NOT NULL,
  eu_member   CHAR(1) DEFAULT 'N' NOT NULL,
  CONSTRAINT countries_pk PRIMARY KEY (code),
  CONSTRAINT countries_eu_ck CHECK (eu_member IN ('Y', 'N'))
);
COMMENT ON TABLE countries IS 'Countries the shop delivers to';
COMMENT ON COLUMN countries.code IS 'ISO 3166 alpha-2 code';
COMMENT ON COLUMN countries.name IS 'Country name in English';

CREATE TABLE customers (
  id            NUMBER(10) NOT NULL,
  login         VARCHAR2(30 BYTE) NOT NULL,
  full_name     VARCHAR2(120 CHAR),
  email         VARCHAR2(200),
  country_code  CHAR(2 BYTE),
  created_at    DATE DEFAULT SYSDATE NOT NULL,
  notes         CLOB,
  CONSTRAINT customers_pk PRIMARY KEY (id),
  CONSTRAINT customers_country_fk FOREIGN KEY (country_code) REFERENCES countries (code)
);
COMMENT ON TABLE customers IS 'People who buy; one row per account';
COMMENT ON COLUMN customers.login IS 'Unique sign-in name';
COMMENT ON COLUMN customers.created_at IS 'When the account was opened';
CREATE UNIQUE INDEX customers_login_ux ON customers (login);
CREATE INDEX customers_country_ix ON customers (country_code);

CREATE TABLE authors (
  id          NUMBER(10) NOT NULL,
  last_name   VARCHAR2(80 CHAR) NOT NULL,
  first_name  VARCHAR2(80 CHAR),
  born        DATE,
  CONSTRAINT authors_pk PRIMARY KEY (id)
);
COMMENT ON TABLE authors IS 'Writers of the books on sale';
COMMENT ON COLUMN authors.last_name IS 'Family name as printed on the cover';
CREATE INDEX authors_name_ix ON authors (last_name, first_name);

CREATE TABLE books (
  isbn        VARCHAR2(13 BYTE) NOT NULL,
  title       VARCHAR2(250 CHAR) NOT NULL,
  author_id   NUMBER(10) NOT NULL,
  price       NUMBER(8,2) DEFAULT 0 NOT NULL,
  pages       NUMBER,
  weight_kg   NUMBER(6,3),
  published   DATE,
  blurb       CLOB,
  CONSTRAINT books_pk PRIMARY KEY (isbn),
  CONSTRAINT books_author_fk FOREIGN KEY (author_id) REFERENCES authors (id),
  CONSTRAINT books_price_ck CHECK (price >= 0)
);
COMMENT ON TABLE books IS 'The catalogue';
COMMENT ON COLUMN books.isbn IS 'ISBN-13 without dashes';
COMMENT ON COLUMN books.price IS 'Shelf price in EUR';
CREATE INDEX books_author_ix ON books (author_id);

CREATE TABLE warehouses (
  site_code   CHAR(3) NOT NULL,
  bin_no      NUMBER(5) NOT NULL,
  label       VARCHAR2(40 BYTE) DEFAULT 'unnamed' NOT NULL,
  CONSTRAINT warehouses_pk PRIMARY KEY (site_code, bin_no)
);
COMMENT ON TABLE warehouses IS 'Storage bins, keyed by site and bin number';
COMMENT ON COLUMN warehouses.site_code IS 'Three-letter site code';

CREATE TABLE stock (
  isbn        VARCHAR2(13 BYTE) NOT NULL,
  site_code   CHAR(3) NOT NULL,
  bin_no      NUMBER(5) NOT NULL,
  quantity    NUMBER(7) DEFAULT 0 NOT NULL,
  counted_at  DATE,
  CONSTRAINT stock_pk PRIMARY KEY (isbn, site_code, bin_no),
  CONSTRAINT stock_book_fk FOREIGN KEY (isbn) REFERENCES books (isbn),
  CONSTRAINT stock_bin_fk FOREIGN KEY (site_code, bin_no) REFERENCES warehouses (site_code, bin_no),
  CONSTRAINT stock_quantity_ck CHECK (quantity >= 0)
);
COMMENT ON TABLE stock IS 'Copies on hand per bin';
COMMENT ON COLUMN stock.quantity IS 'Copies counted';

CREATE TABLE stock_moves (
  id            NUMBER(12) NOT NULL,
  moved_at      DATE DEFAULT SYSDATE NOT NULL,
  bin_no        NUMBER(5) NOT NULL,
  site_code     CHAR(3) NOT NULL,
  isbn          VARCHAR2(13 BYTE) NOT NULL,
  to_bin_no     NUMBER(5) NOT NULL,
  to_site_code  CHAR(3) NOT NULL,
  quantity      NUMBER(7) NOT NULL,
  CONSTRAINT stock_moves_pk PRIMARY KEY (id),
  CONSTRAINT stock_moves_from_fk FOREIGN KEY (isbn, site_code, bin_no)
    REFERENCES stock (isbn, site_code, bin_no),
  CONSTRAINT stock_moves_to_fk FOREIGN KEY (to_site_code, to_bin_no)
    REFERENCES warehouses (site_code, bin_no),
  CONSTRAINT stock_moves_quantity_ck CHECK (quantity > 0)
);
COMMENT ON TABLE stock_moves IS 'Copies carried from one bin to another';
COMMENT ON COLUMN stock_moves.to_site_code IS 'Site of the bin the copies went to';

CREATE TABLE orders (
  id            NUMBER(12) NOT NULL,
  customer_id   NUMBER(10) NOT NULL,
  ordered_at    DATE DEFAULT SYSDATE NOT NULL,
  status        VARCHAR2(10 BYTE) DEFAULT 'NEW' NOT NULL,
  delivery_note VARCHAR2(400 CHAR) DEFAULT 'Leave at the door'
                || ' if nobody answers',
  total         NUMBER(12,2),
  CONSTRAINT orders_pk PRIMARY KEY (id),
  CONSTRAINT orders_customer_fk FOREIGN KEY (customer_id) REFERENCES customers (id),
  CONSTRAINT orders_status_ck CHECK (status IN ('NEW', 'PAID', 'SHIPPED', 'CANCELLED'))
);
COMMENT ON TABLE orders IS 'Orders placed by customers';
COMMENT ON COLUMN orders.status IS 'NEW, PAID, SHIPPED or CANCELLED';
COMMENT ON COLUMN orders.delivery_note IS 'Free text for the courier';
CREATE INDEX orders_customer_ix ON orders (customer_id, ordered_at);

CREATE TABLE order_lines (
  order_id    NUMBER(12) NOT NULL,
  line_no     NUMBER(4) NOT NULL,
  isbn        VARCHAR2(13 BYTE) NOT NULL,
  quantity    NUMBER(5) DEFAULT 1 NOT NULL,
  unit_price  NUMBER(8,2) NOT NULL,
  CONSTRAINT order_lines_pk PRIMARY KEY (order_id, line_no),
  CONSTRAINT order_lines_order_fk FOREIGN KEY (order_id) REFERENCES orders (id),
  CONSTRAINT order_lines_book_fk FOREIGN KEY (isbn) REFERENCES books (isbn),
  CONSTRAINT order_lines_quantity_ck CHECK (quantity > 0)
);
COMMENT ON TABLE order_lines IS 'One row per book in an order';
COMMENT ON COLUMN order_lines.unit_price IS 'Price at the time of the order';

CREATE TABLE audit_log (
  id          NUMBER NOT NULL,
  table_name  VARCHAR2(30 BYTE) NOT NULL,
  action      CHAR(1 BYTE) NOT NULL,
  changed_at  DATE DEFAULT SYSDATE,
  changed_by  VARCHAR2(30 BYTE) DEFAULT USER,
  CONSTRAINT audit_log_pk PRIMARY KEY (id),
  CONSTRAINT audit_log_action_ck CHECK (action IN ('I', 'U', 'D'))
);
COMMENT ON TABLE audit_log IS 'Who changed what, filled by triggers';
COMMENT ON COLUMN audit_log.action IS 'I insert, U update, D delete';

CREATE SEQUENCE customers_seq START WITH 1000 NOMAXVALUE MINVALUE 1 NOCYCLE NOORDER CACHE 20;
CREATE SEQUENCE orders_seq START WITH 1 MAXVALUE 999999999999 MINVALUE 1 INCREMENT BY 1 CACHE 50;
CREATE SEQUENCE audit_seq START WITH 1 MAXVALUE 99999 MINVALUE 1 NOCACHE CYCLE;

CREATE OR REPLACE TRIGGER orders_audit_trg
AFTER INSERT OR UPDATE OR DELETE ON orders
FOR EACH ROW
DECLARE
  v_action CHAR(1);
BEGIN
  IF INSERTING THEN
    v_action := 'I';
  ELSIF UPDATING THEN
    v_action := 'U';
  ELSE
    v_action := 'D';
  END IF;
  INSERT INTO audit_log (id, table_name, action) VALUES (audit_seq.NEXTVAL, 'ORDERS', v_action);
END;
/

CREATE OR REPLACE TRIGGER customers_bi_trg
BEFORE INSERT ON customers
FOR EACH ROW
BEGIN
  IF :NEW.id IS NULL THEN
    :NEW.id := customers_seq.NEXTVAL;
  END IF;
END;
/

CREATE OR REPLACE FUNCTION order_total(p_order_id IN NUMBER) RETURN NUMBER IS
  v_total NUMBER := 0;
BEGIN
  SELECT NVL(SUM(quantity * unit_price), 0) INTO v_total
    FROM order_lines
   WHERE order_id = p_order_id;
  RETURN v_total;
END order_total;
/

CREATE OR REPLACE FUNCTION stock_of(p_isbn IN VARCHAR2) RETURN NUMBER IS
  v_qty NUMBER;
BEGIN
  SELECT NVL(SUM(quantity), 0) INTO v_qty FROM stock WHERE isbn = p_isbn;
  RETURN v_qty;
END stock_of;
/

CREATE OR REPLACE PROCEDURE close_order(p_order_id IN NUMBER) IS
BEGIN
  UPDATE orders
     SET status = 'SHIPPED', total = order_total(p_order_id)
   WHERE id = p_order_id;
END close_order;
/

CREATE OR REPLACE PROCEDURE cancel_order(p_order_id IN NUMBER, p_reason IN VARCHAR2 DEFAULT NULL) IS
BEGIN
  UPDATE orders SET status = 'CANCELLED', delivery_note = p_reason WHERE id = p_order_id;
END cancel_order;
/

CREATE OR REPLACE VIEW book_list (isbn, title, author, price) AS
SELECT b.isbn, b.title, a.last_name, b.price
  FROM books b, authors a
 WHERE a.id = b.author_id;
COMMENT ON TABLE book_list IS 'Books with their author, for the web shop';
COMMENT ON COLUMN book_list.author IS 'Family name of the author';
COMMENT ON COLUMN book_list.price IS 'Shelf price in EUR';

CREATE OR REPLACE VIEW open_orders AS
SELECT o.id, o.customer_id, o.ordered_at, o.status
  FROM orders o
 WHERE o.status IN ('NEW', 'PAID');

CREATE SYNONYM cust FOR customers;
CREATE PUBLIC SYNONYM shop_books FOR demo_app.books;

GRANT SELECT ON books TO demo_reader;
GRANT SELECT ON authors TO demo_reader;
GRANT SELECT, INSERT, UPDATE ON orders TO demo_reader;
GRANT SELECT, REFERENCES ON customers TO demo_reader WITH GRANT OPTION;
GRANT SELECT ON book_list TO demo_reader;
GRANT EXECUTE ON order_total TO demo_reader;

CREATE DATABASE LINK "WAREHOUSE_LINK" CONNECT TO stock_reader IDENTIFIED BY "stock_pw" USING 'warehouse-db:1521/WH';
