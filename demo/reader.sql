-- What DEMO_READER owns: a synonym of one of the application's tables.
CREATE SYNONYM books FOR demo_app.books;
