-- Version 3: the rates of each customer's last invoice.
--
-- Closing a billing period deletes the invoiced lines, so the receipt that
-- collects the invoice later cannot work out from them how much of the
-- amount was sold at which consumption-tax rate. The closing keeps here,
-- per customer, the figures its invoice printed: each rate's total with the
-- tax it contains (the sum over the invoice's slips, each rounded on its
-- own slip), non-taxable sales, the period's sales and the amount billed.
-- A rate of 0 ticks in a slot means the slot is unused. Amounts and rates
-- are Currency ticks, like every money column.
CREATE TABLE IF NOT EXISTS 請求内訳ＴＢＬ (
    請求顧客コード     TEXT COLLATE RTRIM PRIMARY KEY,
    請求締切日         DATE NOT NULL CHECK (typeof(請求締切日) IN ('integer', 'real', 'null')),
    請求今回売上金額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求今回売上金額) IN ('integer', 'null')),
    請求合計請求金額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求合計請求金額) IN ('integer', 'null')),
    請求税率１         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求税率１) IN ('integer', 'null')),
    請求税率１軽減     INTEGER NOT NULL DEFAULT 0,
    請求税率１対象額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求税率１対象額) IN ('integer', 'null')),
    請求税率１消費税額 CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求税率１消費税額) IN ('integer', 'null')),
    請求税率２         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求税率２) IN ('integer', 'null')),
    請求税率２軽減     INTEGER NOT NULL DEFAULT 0,
    請求税率２対象額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求税率２対象額) IN ('integer', 'null')),
    請求税率２消費税額 CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求税率２消費税額) IN ('integer', 'null')),
    請求非課税額       CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(請求非課税額) IN ('integer', 'null'))
);

-- The sales-by-rate list reads the held sales of a date range too: a shop
-- that posts rarely may hold many days of them.
CREATE INDEX IF NOT EXISTS 売上仮_日付 ON 売上商品マスター仮 (売上年月日);
