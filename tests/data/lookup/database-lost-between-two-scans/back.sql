-- the database put back, at another price
CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT);
INSERT INTO inv VALUES ('1001', 'CLAW HAMMER 16OZ', 'STN-51616', 'A12', 13.75, '1', '6');
