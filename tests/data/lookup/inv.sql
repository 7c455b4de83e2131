CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT);
INSERT INTO inv VALUES ('1001', 'CLAW HAMMER 16OZ', 'STN-51616', 'A12', 12.5, '1', '6'),
  ('O''Brien''s', 'IRISH PUTTY KNIFE', 'OB-1', 'B3', '4.99', '1', '12'),
  ('012345678905', 'ITEM KEYED BY UPC', 'UPC-K', 'Z9', 1.0, '1', '1'),
  ('A1', 'KEY WITH NUL AFTER IT', 'N-1', 'N', '1', '1', '1'),
  ('4004', '   ', 'INV-MFN', '', 7, NULL, '2');
