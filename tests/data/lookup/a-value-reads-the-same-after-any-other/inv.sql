-- a column without a type keeps a number and a text as they were written
CREATE TABLE inv ("1" TEXT, "48");
INSERT INTO inv VALUES ('a', 12.5), ('b', '5.00'), ('c', 7), ('d', 'abc');
