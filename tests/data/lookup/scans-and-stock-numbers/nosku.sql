-- a upc table without the stock number column
CREATE TABLE upc ("149" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('012345678905', '010101');
