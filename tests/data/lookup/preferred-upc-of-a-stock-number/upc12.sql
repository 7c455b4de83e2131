-- year 49 ranks above year 50, and a key of exactly 500000 (year 50) below year 99
CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('7','036000291452','010150'),('7','042100005264','123149'),('8','036000291452','123199'),('8','042100005264','000050');
