CREATE TABLE special ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT);
INSERT INTO special VALUES ('1001', 'CIS HAMMER', 'CIS-MFN', 'C1', 99.99, '9', '9'),
  ('2002', 'SPECIAL ORDER LADDER', 'LAD-8', 'SO', 149.0, '1', '1'),
  ('4004', 'WOOD GLUE 8OZ', 'CIS-MFN', 'G7', 3.25, '1', '24'),
  ('5', 'C', 'C', 'CIS LOC', 1, 'CIS OM', 'C');
