-- no column 83: dates from position 0
CREATE TABLE upc (d TEXT, "1" TEXT, "149" TEXT);
INSERT INTO upc VALUES ('010101', '7', '036000291452'), ('010102', '7', '042100005264');
