CREATE TABLE inv ("1" TEXT, "10" TEXT, "11" TEXT, "21" TEXT, "48" REAL, "66" TEXT, "65" TEXT);
INSERT INTO inv VALUES ('O''Brien''s', 'DESC OF ' || 'O''Brien''s', '', '', 1.0, '1', '1'),
  ('''''', 'DESC OF ' || '''''', '', '', 1.0, '1', '1'),
  ('''', 'DESC OF ' || '''', '', '', 1.0, '1', '1'),
  ('A\B', 'DESC OF ' || 'A\B', '', '', 1.0, '1', '1'),
  ('A\''; DROP TABLE inv; --', 'DESC OF ' || 'A\''; DROP TABLE inv; --', '', '', 1.0, '1', '1'),
  ('1001; DELETE FROM inv', 'DESC OF ' || '1001; DELETE FROM inv', '', '', 1.0, '1', '1'),
  ('1001 -- comment', 'DESC OF ' || '1001 -- comment', '', '', 1.0, '1', '1'),
  ('x'' OR ''1''=''1', 'DESC OF ' || 'x'' OR ''1''=''1', '', '', 1.0, '1', '1'),
  ('A1' || char(0) || ''' OR ''1''=''1', 'DESC OF ' || 'A1' || char(0) || ''' OR ''1''=''1', '', '', 1.0, '1', '1'),
  ('A1', 'KEY BEFORE THE NUL', '', '', 1.0, '1', '1');
