-- Version 2: the books remember where the year-end closed them, and the
-- bank result runs remember each payment they booked.
--
-- Every year-end run leaves its period end here. An entry dated on or
-- before the latest one would land in books already carried forward (the
-- ledgers would open at the wrong balance and the trial balance would no
-- longer agree with the carry-forward), so writes dated then are refused:
-- the screens say so first, naming the date; the triggers below are the
-- last guard for any path that writes these tables.
--
-- Every statement is IF NOT EXISTS, so a database that already holds some
-- of these objects is brought up all the same.
CREATE TABLE IF NOT EXISTS 年次更新ＴＢＬ (
    年次更新シリアル INTEGER PRIMARY KEY AUTOINCREMENT,
    年次更新期末日   DATE NOT NULL CHECK (typeof(年次更新期末日) IN ('integer', 'real', 'null')),
    年次更新実行日   DATE NOT NULL CHECK (typeof(年次更新実行日) IN ('integer', 'real', 'null'))
);

-- The first day after the closed period, or NULL before any year-end (a
-- comparison with NULL is never true, so nothing is refused then).
CREATE VIEW IF NOT EXISTS 年次更新_締め翌日 AS
    SELECT CAST(MAX(年次更新期末日) AS INTEGER) + 1 AS 翌日 FROM 年次更新ＴＢＬ;

CREATE TRIGGER IF NOT EXISTS 経理仮_締め済み期間_追加 BEFORE INSERT ON 経理マスター仮
    WHEN NEW.経理年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;
CREATE TRIGGER IF NOT EXISTS 経理仮_締め済み期間_変更 BEFORE UPDATE OF 経理年月日 ON 経理マスター仮
    WHEN NEW.経理年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;
CREATE TRIGGER IF NOT EXISTS 経理_締め済み期間_追加 BEFORE INSERT ON 経理マスター
    WHEN NEW.経理年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;
CREATE TRIGGER IF NOT EXISTS 売上仮_締め済み期間_追加 BEFORE INSERT ON 売上商品マスター仮
    WHEN NEW.売上年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;
CREATE TRIGGER IF NOT EXISTS 売上仮_締め済み期間_変更 BEFORE UPDATE OF 売上年月日 ON 売上商品マスター仮
    WHEN NEW.売上年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;
CREATE TRIGGER IF NOT EXISTS ガス_締め済み期間_追加 BEFORE INSERT ON ガスデータ
    WHEN NEW.ガス年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;
CREATE TRIGGER IF NOT EXISTS ガス_締め済み期間_変更 BEFORE UPDATE OF ガス年月日 ON ガスデータ
    WHEN NEW.ガス年月日 < (SELECT 翌日 FROM 年次更新_締め翌日)
BEGIN SELECT RAISE(ABORT, '年次更新で締めた期間の日付です。'); END;

-- Each payment a run booked: the customer, the debit date of the file's
-- header and the amount, under the slip number its journal row got, so
-- that another file holding the same payment does not book it again.
CREATE TABLE IF NOT EXISTS 引落結果入金ＴＢＬ (
    引落入金シリアル     INTEGER PRIMARY KEY AUTOINCREMENT,
    引落入金結果シリアル INTEGER NOT NULL,
    引落入金顧客コード   TEXT NOT NULL COLLATE RTRIM,
    引落入金引落日       DATE NOT NULL CHECK (typeof(引落入金引落日) IN ('integer', 'real', 'null')),
    引落入金金額         CURRENCY NOT NULL CHECK (typeof(引落入金金額) IN ('integer', 'null')),
    引落入金伝票番号     INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS 引落入金_顧客 ON 引落結果入金ＴＢＬ (引落入金顧客コード, 引落入金引落日);
