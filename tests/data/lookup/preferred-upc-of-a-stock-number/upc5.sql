-- spaces trimmed
CREATE TABLE upc ("1" TEXT, "149" TEXT, "83" TEXT);
INSERT INTO upc VALUES ('7','  036000291452  ',' 010105 ');
