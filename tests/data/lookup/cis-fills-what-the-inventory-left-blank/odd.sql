-- numbers in typed columns, no column 21, a padded text
CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" INTEGER, "48" REAL, "66", "65" NUMERIC);
INSERT INTO inv VALUES ('5', '  PADDED DESC  ', 42, 12.5, NULL, 3);
