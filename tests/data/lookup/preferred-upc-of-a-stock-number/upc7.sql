-- null UPC and date count as empty
CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('7',NULL,'010105'),('7','12345',NULL),('7','036000291452',NULL);
