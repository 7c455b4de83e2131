-- no column 149
CREATE TABLE upc ("1" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('7', '010101');
