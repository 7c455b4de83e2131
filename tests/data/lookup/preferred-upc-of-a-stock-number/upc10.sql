-- columns found by name
CREATE TABLE upc ("83" TEXT, "149" TEXT, "1" TEXT);
INSERT INTO upc VALUES ('010102', '036000291452', '7'), ('010101', '042100005264', '7');
