-- other stock numbers ignored
CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('77','036000291452','010105'),('7 ','042100005264','010105');
