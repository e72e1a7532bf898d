-- The shop's database: every table the program reads or writes, the work
-- tables, the deletion rules and the seed rows of a new shop.
--
-- Declared kinds: TEXT, INTEGER, CURRENCY (integer count of ten-thousandths),
-- DATE (day serial since 1899-12-30, the fraction is the time of day),
-- SINGLE (single-precision number). Grids read them through PRAGMA table_info.
-- A column holds only its kind: CURRENCY columns integers, DATE and SINGLE
-- columns numbers (CHECK), so a date bound as text or an amount bound as a
-- real number fails loudly instead of reading back as a wrong value.
-- Customer and product codes, and every column that carries one, compare
-- with RTRIM, so '12' and '12           ' are the same code everywhere.

PRAGMA foreign_keys = OFF;

------------------------------------------------------------------ customers
CREATE TABLE 顧客マスター (
    顧客コード             TEXT COLLATE RTRIM NOT NULL PRIMARY KEY,
    顧客ガスコード         TEXT NOT NULL DEFAULT '0',
    顧客名前               TEXT NOT NULL DEFAULT '',
    顧客名前カナ           TEXT NOT NULL DEFAULT '',
    顧客電話番号           TEXT NOT NULL DEFAULT '',
    顧客郵便番号           TEXT NOT NULL DEFAULT '',
    顧客住所１             TEXT NOT NULL DEFAULT '',
    顧客住所２             TEXT NOT NULL DEFAULT '',
    顧客店コード           INTEGER NOT NULL DEFAULT 0,
    顧客担当コード         INTEGER NOT NULL DEFAULT 0,
    顧客登録日             DATE NOT NULL DEFAULT (CAST(julianday('now', 'localtime') - 2415018.5 AS INTEGER)) CHECK (typeof(顧客登録日) IN ('integer', 'real', 'null')),
    顧客最終売上日         DATE NOT NULL DEFAULT 0 CHECK (typeof(顧客最終売上日) IN ('integer', 'real', 'null')),
    顧客売掛条件           INTEGER NOT NULL DEFAULT 0,
    顧客売掛締切日         INTEGER NOT NULL DEFAULT 0,
    顧客売掛集金日         INTEGER NOT NULL DEFAULT 0,
    顧客売掛前回請求金額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(顧客売掛前回請求金額) IN ('integer', 'null')),
    顧客売掛前回締め日     DATE NOT NULL DEFAULT 0 CHECK (typeof(顧客売掛前回締め日) IN ('integer', 'real', 'null')),
    顧客売掛入金額         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(顧客売掛入金額) IN ('integer', 'null')),
    顧客売掛入金日         DATE NOT NULL DEFAULT 0 CHECK (typeof(顧客売掛入金日) IN ('integer', 'real', 'null')),
    顧客売掛締後売上額     CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(顧客売掛締後売上額) IN ('integer', 'null')),
    顧客売掛請求先コード   TEXT COLLATE RTRIM NOT NULL DEFAULT '0',
    顧客引落銀行コード     INTEGER NOT NULL DEFAULT 0,
    顧客引落銀行支店コード TEXT NOT NULL DEFAULT '',
    顧客引落口座種別       INTEGER NOT NULL DEFAULT 0,
    顧客引落口座番号       TEXT NOT NULL DEFAULT '',
    顧客米サービスレベル   INTEGER NOT NULL DEFAULT 0,
    顧客灯油サービスレベル INTEGER NOT NULL DEFAULT 0,
    顧客灯油タンク容量     SINGLE NOT NULL DEFAULT 0 CHECK (typeof(顧客灯油タンク容量) IN ('integer', 'real', 'null')),
    顧客ガスタイプ         INTEGER NOT NULL DEFAULT 0,
    顧客ガスボンベ１       SINGLE NOT NULL DEFAULT 0 CHECK (typeof(顧客ガスボンベ１) IN ('integer', 'real', 'null')),
    顧客ガスボンベ２       SINGLE NOT NULL DEFAULT 0 CHECK (typeof(顧客ガスボンベ２) IN ('integer', 'real', 'null')),
    顧客売掛決済コード     INTEGER NOT NULL DEFAULT 0
);
-- The pickers search and sort by kana; invoices, receipts and direct debit
-- select by closing day, collection day and settlement method.
CREATE INDEX 顧客_カナ ON 顧客マスター (顧客名前カナ);
CREATE INDEX 顧客_締切日 ON 顧客マスター (顧客売掛締切日);
CREATE INDEX 顧客_集金日 ON 顧客マスター (顧客売掛集金日);
CREATE INDEX 顧客_決済 ON 顧客マスター (顧客売掛決済コード);
CREATE INDEX 顧客_請求先 ON 顧客マスター (顧客売掛請求先コード);
CREATE INDEX 顧客_ガス ON 顧客マスター (顧客ガスコード);

------------------------------------------------------------------ products
CREATE TABLE 商品部門マスター (
    部門コード INTEGER NOT NULL PRIMARY KEY,
    部門名     TEXT NOT NULL DEFAULT '',
    税区分     INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE 商品マスター (
    単品コード   TEXT COLLATE RTRIM NOT NULL PRIMARY KEY,
    部門コード   INTEGER NOT NULL DEFAULT 0,
    単品名称     TEXT NOT NULL DEFAULT '',
    単品名称カナ TEXT NOT NULL DEFAULT '',
    単品売価     CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(単品売価) IN ('integer', 'null')),
    単品米キロ   SINGLE NOT NULL DEFAULT 0 CHECK (typeof(単品米キロ) IN ('integer', 'real', 'null')),
    単品灯油Ｌ   SINGLE NOT NULL DEFAULT 0 CHECK (typeof(単品灯油Ｌ) IN ('integer', 'real', 'null'))
);
CREATE INDEX 商品_部門 ON 商品マスター (部門コード);

CREATE TABLE 税区分ＴＢＬ (
    税区分コード INTEGER NOT NULL PRIMARY KEY,
    税区分名     TEXT NOT NULL DEFAULT ''
);

------------------------------------------------------------------ sales lines
-- The holding table and the posted table keep the same columns in the same
-- order: the daily update copies with INSERT INTO ... SELECT *.
-- The holding serial never repeats (AUTOINCREMENT); the posted tables keep
-- the serial the row was given when it was entered.
CREATE TABLE 売上商品マスター仮 (
    売上シリアル     INTEGER PRIMARY KEY AUTOINCREMENT,
    売上伝票番号     INTEGER NOT NULL,
    売上年月日       DATE NOT NULL CHECK (typeof(売上年月日) IN ('integer', 'real', 'null')),
    売上顧客コード   TEXT COLLATE RTRIM NOT NULL,
    売上種別コード   INTEGER NOT NULL DEFAULT 0,
    売上部門コード   INTEGER NOT NULL DEFAULT 0,
    売上税区分コード INTEGER NOT NULL DEFAULT 0,
    売上単品コード   TEXT COLLATE RTRIM NOT NULL DEFAULT '',
    売上単品名       TEXT NOT NULL DEFAULT '',
    売上単価         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(売上単価) IN ('integer', 'null')),
    売上個数         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(売上個数) IN ('integer', 'null'))
);
CREATE INDEX 売上仮_伝票 ON 売上商品マスター仮 (売上伝票番号);
CREATE INDEX 売上仮_顧客 ON 売上商品マスター仮 (売上顧客コード);
CREATE INDEX 売上仮_単品 ON 売上商品マスター仮 (売上単品コード);

CREATE TABLE 売上商品マスター (
    売上シリアル     INTEGER PRIMARY KEY,
    売上伝票番号     INTEGER NOT NULL,
    売上年月日       DATE NOT NULL CHECK (typeof(売上年月日) IN ('integer', 'real', 'null')),
    売上顧客コード   TEXT COLLATE RTRIM NOT NULL,
    売上種別コード   INTEGER NOT NULL DEFAULT 0,
    売上部門コード   INTEGER NOT NULL DEFAULT 0,
    売上税区分コード INTEGER NOT NULL DEFAULT 0,
    売上単品コード   TEXT COLLATE RTRIM NOT NULL DEFAULT '',
    売上単品名       TEXT NOT NULL DEFAULT '',
    売上単価         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(売上単価) IN ('integer', 'null')),
    売上個数         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(売上個数) IN ('integer', 'null'))
);
-- History by customer and date (results display, forecasts), by date
-- (old-data deletion, sales counts), by product (sales counts, forecasts).
CREATE INDEX 売上_顧客日付 ON 売上商品マスター (売上顧客コード, 売上年月日);
CREATE INDEX 売上_日付 ON 売上商品マスター (売上年月日);
CREATE INDEX 売上_単品 ON 売上商品マスター (売上単品コード, 売上年月日);
CREATE INDEX 売上_伝票 ON 売上商品マスター (売上伝票番号);

CREATE TABLE 売掛マスター (
    売上シリアル     INTEGER PRIMARY KEY,
    売上伝票番号     INTEGER NOT NULL,
    売上年月日       DATE NOT NULL CHECK (typeof(売上年月日) IN ('integer', 'real', 'null')),
    売上顧客コード   TEXT COLLATE RTRIM NOT NULL,
    売上種別コード   INTEGER NOT NULL DEFAULT 0,
    売上部門コード   INTEGER NOT NULL DEFAULT 0,
    売上税区分コード INTEGER NOT NULL DEFAULT 0,
    売上単品コード   TEXT COLLATE RTRIM NOT NULL DEFAULT '',
    売上単品名       TEXT NOT NULL DEFAULT '',
    売上単価         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(売上単価) IN ('integer', 'null')),
    売上個数         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(売上個数) IN ('integer', 'null'))
);
CREATE INDEX 売掛_顧客日付 ON 売掛マスター (売上顧客コード, 売上年月日);
CREATE INDEX 売掛_伝票 ON 売掛マスター (売上伝票番号);
CREATE INDEX 売掛_単品 ON 売掛マスター (売上単品コード);

------------------------------------------------------------------ journal
CREATE TABLE 経理マスター仮 (
    経理シリアル         INTEGER PRIMARY KEY AUTOINCREMENT,
    経理伝票番号         INTEGER NOT NULL,
    経理年月日           DATE NOT NULL CHECK (typeof(経理年月日) IN ('integer', 'real', 'null')),
    経理金額             CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(経理金額) IN ('integer', 'null')),
    経理借方コード       INTEGER NOT NULL DEFAULT 0,
    経理借方相手先コード INTEGER NOT NULL DEFAULT 0,
    経理貸方コード       INTEGER NOT NULL DEFAULT 0,
    経理貸方相手先コード TEXT COLLATE RTRIM NOT NULL DEFAULT '0'
);
CREATE INDEX 経理仮_伝票 ON 経理マスター仮 (経理伝票番号);
CREATE INDEX 経理仮_相手先 ON 経理マスター仮 (経理貸方相手先コード);

CREATE TABLE 経理マスター (
    経理シリアル         INTEGER PRIMARY KEY,
    経理伝票番号         INTEGER NOT NULL,
    経理年月日           DATE NOT NULL CHECK (typeof(経理年月日) IN ('integer', 'real', 'null')),
    経理金額             CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(経理金額) IN ('integer', 'null')),
    経理借方コード       INTEGER NOT NULL DEFAULT 0,
    経理借方相手先コード INTEGER NOT NULL DEFAULT 0,
    経理貸方コード       INTEGER NOT NULL DEFAULT 0,
    経理貸方相手先コード TEXT COLLATE RTRIM NOT NULL DEFAULT '0'
);
-- Trial balance and listings select by date; ledgers by account and date.
CREATE INDEX 経理_日付 ON 経理マスター (経理年月日);
CREATE INDEX 経理_借方 ON 経理マスター (経理借方コード, 経理年月日);
CREATE INDEX 経理_貸方 ON 経理マスター (経理貸方コード, 経理年月日);
CREATE INDEX 経理_相手先 ON 経理マスター (経理貸方相手先コード);
CREATE INDEX 経理_伝票 ON 経理マスター (経理伝票番号);

------------------------------------------------------------------ accounts
CREATE TABLE 勘定科目TBL (
    科目番号   INTEGER NOT NULL PRIMARY KEY,
    勘定科目名 TEXT NOT NULL DEFAULT '',
    期首残高   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(期首残高) IN ('integer', 'null')),
    借方金額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(借方金額) IN ('integer', 'null')),
    貸方金額   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(貸方金額) IN ('integer', 'null')),
    現在残高   CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(現在残高) IN ('integer', 'null'))
);

-- Second copy of the account names, so that one query can name both the
-- debit and the credit account; refilled before each listing that joins it.
CREATE TABLE 勘定科目TBLＣＯＰＹ (
    科目番号   INTEGER NOT NULL PRIMARY KEY,
    勘定科目名 TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 経理借方相手先ＴＢＬ (
    経理仕入経費先コード INTEGER NOT NULL PRIMARY KEY,
    経理仕入経費先名     TEXT NOT NULL DEFAULT ''
);

------------------------------------------------------------------ code tables
CREATE TABLE 店コードＴＢＬ (
    店コード INTEGER NOT NULL PRIMARY KEY,
    店名     TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 担当者コードＴＢＬ (
    担当者コード INTEGER NOT NULL PRIMARY KEY,
    担当者名     TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 売掛条件ＴＢＬ (
    売掛条件ＩＤ INTEGER NOT NULL PRIMARY KEY,
    売掛条件     TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 引落口座種別ＴＢＬ (
    引落口座種別コード INTEGER NOT NULL PRIMARY KEY,
    引落口座種別       TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 米サービスレベルＴＢＬ (
    米ＳＬＩＤ       INTEGER NOT NULL PRIMARY KEY,
    米サービスレベル TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 灯油サービスレベルＴＢＬ (
    灯油ＳＬＩＤ       INTEGER NOT NULL PRIMARY KEY,
    灯油サービスレベル TEXT NOT NULL DEFAULT ''
);

CREATE TABLE ガスデータ種別コードＴＢＬ (
    ガスデータ種別コード INTEGER NOT NULL PRIMARY KEY,
    ガスデータ種別       TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 引落銀行ＴＢＬ (
    引落銀行コード   INTEGER NOT NULL PRIMARY KEY,
    引落銀行名       TEXT NOT NULL DEFAULT '',
    引落銀行名カナ   TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 売上種別コードＴＢＬ (
    売上種別コード INTEGER NOT NULL PRIMARY KEY,
    売上種別       TEXT NOT NULL DEFAULT ''
);

CREATE TABLE 顧客ガスタイプＴＢＬ (
    ガスタイプコード INTEGER NOT NULL PRIMARY KEY,
    ガスタイプ       TEXT NOT NULL DEFAULT ''
);

-- Settlement methods; for a direct-debit method also the shop's contract
-- with its collecting bank (the code is that bank's 4-digit number).
CREATE TABLE 決済方法ＴＢＬ (
    決済方法コード           INTEGER NOT NULL PRIMARY KEY,
    決済方法                 TEXT NOT NULL DEFAULT '',
    決済銀行ファイル名       TEXT NOT NULL DEFAULT '',
    決済銀行振替種別コード   TEXT NOT NULL DEFAULT '',
    決済銀行振替委託者コード TEXT NOT NULL DEFAULT '',
    決済銀行振替委託者名カナ TEXT NOT NULL DEFAULT '',
    決済銀行名カナ           TEXT NOT NULL DEFAULT '',
    決済銀行支店番号         TEXT NOT NULL DEFAULT '',
    決済銀行支店名カナ       TEXT NOT NULL DEFAULT '',
    決済銀行口座番号         TEXT NOT NULL DEFAULT ''
);

------------------------------------------------------------------ LP gas
CREATE TABLE ガスデータ (
    ガス年月日           DATE NOT NULL CHECK (typeof(ガス年月日) IN ('integer', 'real', 'null')),
    ガスデータ種別コード INTEGER NOT NULL DEFAULT 0,
    ガス相手先コード     TEXT COLLATE RTRIM NOT NULL,
    ガス検針値           CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(ガス検針値) IN ('integer', 'null')),
    ガス使用量           CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(ガス使用量) IN ('integer', 'null')),
    ガス配送量           SINGLE NOT NULL DEFAULT 0 CHECK (typeof(ガス配送量) IN ('integer', 'real', 'null')),
    ガス残ガス量         SINGLE NOT NULL DEFAULT 0 CHECK (typeof(ガス残ガス量) IN ('integer', 'real', 'null')),
    ガス金額             CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(ガス金額) IN ('integer', 'null')),
    ガス経理コード       INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ガス_顧客日付 ON ガスデータ (ガス相手先コード, ガス年月日);
CREATE INDEX ガス_日付 ON ガスデータ (ガス年月日);

------------------------------------------------------------------ work tables
CREATE TABLE 各勘定帳 (
    年月日   DATE NOT NULL DEFAULT 0 CHECK (typeof(年月日) IN ('integer', 'real', 'null')),
    借方科目 INTEGER NOT NULL DEFAULT 0,
    貸方科目 INTEGER NOT NULL DEFAULT 0,
    借方金額 CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(借方金額) IN ('integer', 'null')),
    貸方金額 CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(貸方金額) IN ('integer', 'null')),
    残高     CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(残高) IN ('integer', 'null'))
);

CREATE TABLE 配達予定 (
    配達年月日   DATE NOT NULL DEFAULT 0 CHECK (typeof(配達年月日) IN ('integer', 'real', 'null')),
    配達顧客名   TEXT NOT NULL DEFAULT '',
    配達顧客電話 TEXT NOT NULL DEFAULT '',
    配達商品名   TEXT NOT NULL DEFAULT '',
    配達商品個数 CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(配達商品個数) IN ('integer', 'null'))
);

------------------------------------------------------------------ rules
-- A customer stays while any row still carries its code: sales lines posted
-- or held, receivable lines, ledger rows, gas events, or another customer
-- billed to it. The same holds for changing the code of such a customer,
-- which would leave those rows pointing at nobody.
CREATE TRIGGER 顧客_削除制限 BEFORE DELETE ON 顧客マスター
WHEN EXISTS (SELECT 1 FROM 売上商品マスター WHERE 売上顧客コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 売上商品マスター仮 WHERE 売上顧客コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 売掛マスター WHERE 売上顧客コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 経理マスター WHERE 経理貸方相手先コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 経理マスター仮 WHERE 経理貸方相手先コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM ガスデータ WHERE ガス相手先コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 顧客マスター AS 他 WHERE 他.顧客売掛請求先コード = OLD.顧客コード
                                                AND 他.顧客コード <> OLD.顧客コード)
BEGIN
    SELECT RAISE(ABORT, '過去のデータが残っているため顧客の削除ができません。');
END;

CREATE TRIGGER 顧客_コード変更制限 BEFORE UPDATE OF 顧客コード ON 顧客マスター
WHEN NEW.顧客コード <> OLD.顧客コード AND (
     EXISTS (SELECT 1 FROM 売上商品マスター WHERE 売上顧客コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 売上商品マスター仮 WHERE 売上顧客コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 売掛マスター WHERE 売上顧客コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 経理マスター WHERE 経理貸方相手先コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 経理マスター仮 WHERE 経理貸方相手先コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM ガスデータ WHERE ガス相手先コード = OLD.顧客コード)
  OR EXISTS (SELECT 1 FROM 顧客マスター AS 他 WHERE 他.顧客売掛請求先コード = OLD.顧客コード
                                                AND 他.顧客コード <> OLD.顧客コード))
BEGIN
    SELECT RAISE(ABORT, '過去のデータが残っているため顧客コードは変更できません。');
END;

-- A product stays while sales lines refer to it.
CREATE TRIGGER 商品_削除制限 BEFORE DELETE ON 商品マスター
WHEN EXISTS (SELECT 1 FROM 売上商品マスター WHERE 売上単品コード = OLD.単品コード)
  OR EXISTS (SELECT 1 FROM 売上商品マスター仮 WHERE 売上単品コード = OLD.単品コード)
  OR EXISTS (SELECT 1 FROM 売掛マスター WHERE 売上単品コード = OLD.単品コード)
BEGIN
    SELECT RAISE(ABORT, 'この商品は、削除できません。');
END;

CREATE TRIGGER 商品_コード変更制限 BEFORE UPDATE OF 単品コード ON 商品マスター
WHEN NEW.単品コード <> OLD.単品コード AND (
     EXISTS (SELECT 1 FROM 売上商品マスター WHERE 売上単品コード = OLD.単品コード)
  OR EXISTS (SELECT 1 FROM 売上商品マスター仮 WHERE 売上単品コード = OLD.単品コード)
  OR EXISTS (SELECT 1 FROM 売掛マスター WHERE 売上単品コード = OLD.単品コード))
BEGIN
    SELECT RAISE(ABORT, '売上データが残っているため商品コードは変更できません。');
END;

------------------------------------------------------------------ seed rows
-- Chart of accounts of a new shop. Fixed roles: 10 cash, 110 receivables,
-- 3075 gas sales, 3079 consumption tax received, 5000-5090 sales by tax
-- category. Ranges: 1-999 means of payment, 1000-2999 other assets,
-- 3000-4999 liabilities and capital, 5000-5499 sales, 5500-5999 purchases,
-- 6000-7999 expenses, 8000-8999 other income, 9000-9999 other expenses.
INSERT INTO 勘定科目TBL (科目番号, 勘定科目名) VALUES
    (10, '現金'),
    (20, '普通預金'),
    (30, '当座預金'),
    (40, '郵便貯金'),
    (110, '売掛金'),
    (1100, '商品'),
    (1500, '車両運搬具'),
    (1600, '器具備品'),
    (3010, '買掛金'),
    (3020, '未払金'),
    (3050, '預り金'),
    (3075, 'ガス売上'),
    (3079, '仮受消費税'),
    (3500, '借入金'),
    (4000, '元入金'),
    (4100, '事業主借'),
    (5000, '外税売上１'),
    (5010, '外税売上２'),
    (5050, '内税売上１'),
    (5060, '内税売上２'),
    (5090, '非課税売上'),
    (5500, '米仕入'),
    (5510, '灯油仕入'),
    (5520, 'ガス仕入'),
    (5530, '雑貨仕入'),
    (6010, '給料手当'),
    (6020, '荷造運賃'),
    (6030, '水道光熱費'),
    (6040, '旅費交通費'),
    (6050, '通信費'),
    (6060, '広告宣伝費'),
    (6070, '接待交際費'),
    (6080, '損害保険料'),
    (6090, '修繕費'),
    (6100, '消耗品費'),
    (6110, '減価償却費'),
    (6120, '地代家賃'),
    (6130, '租税公課'),
    (6140, '支払手数料'),
    (6150, '車両費'),
    (6990, '雑費'),
    (8010, '受取利息'),
    (8090, '雑収入'),
    (9010, '支払利息'),
    (9090, '雑損失');

INSERT INTO 税区分ＴＢＬ (税区分コード, 税区分名) VALUES
    (0, '外税１'),
    (1, '外税２'),
    (5, '内税１'),
    (6, '内税２'),
    (9, '非課税');

INSERT INTO 売上種別コードＴＢＬ (売上種別コード, 売上種別) VALUES
    (0, '現金売上'),
    (1, '掛売上');

-- Gas event kinds whose entry the gas screen knows.
INSERT INTO ガスデータ種別コードＴＢＬ (ガスデータ種別コード, ガスデータ種別) VALUES
    (1, '検針請求'),
    (5, 'ボンベ交換'),
    (6, 'ボンベ配送'),
    (7, '検針'),
    (8, '開栓検針'),
    (9, 'ボンベ販売');

------------------------------------------------------------------ bank result files
-- Bank result files already processed, by a hash of their records, so that
-- running the same file again is noticed before its payments are recorded a
-- second time. One row per run.
CREATE TABLE IF NOT EXISTS 引落結果処理ＴＢＬ (
    引落結果シリアル     INTEGER PRIMARY KEY AUTOINCREMENT,
    引落結果指紋         TEXT NOT NULL,
    引落結果ファイル名   TEXT NOT NULL DEFAULT '',
    引落結果処理日       DATE NOT NULL CHECK (typeof(引落結果処理日) IN ('integer', 'real', 'null')),
    引落結果入金日       DATE NOT NULL CHECK (typeof(引落結果入金日) IN ('integer', 'real', 'null')),
    引落結果件数         INTEGER NOT NULL DEFAULT 0,
    引落結果金額         CURRENCY NOT NULL DEFAULT 0 CHECK (typeof(引落結果金額) IN ('integer', 'null')),
    引落結果先頭伝票番号 INTEGER NOT NULL DEFAULT 0,
    引落結果最終伝票番号 INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS 引落結果_指紋 ON 引落結果処理ＴＢＬ (引落結果指紋);

PRAGMA user_version = 1;
