-- all empty
CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('7','','010105'),('7','   ','010106');
