-- a CIS table without the stock-number column the key queries name
CREATE TABLE special (sku TEXT);
