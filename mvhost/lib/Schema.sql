-- The embedded host's store. Text is UTF-8; amounts are raw amounts in
-- ten-thousandths of a yen; dates are yyyymmdd integers.

-- Host-wide state: what ClAccConnect::Initiate and ExpSysLink check, the
-- current user, the edition the home was set up for.
CREATE TABLE IF NOT EXISTS host_state (
  key   TEXT PRIMARY KEY,
  value TEXT NOT NULL
);

CREATE TABLE IF NOT EXISTS data_set (
  data_no            INTEGER PRIMARY KEY,
  data_id            TEXT NOT NULL UNIQUE,
  company_name       TEXT NOT NULL,
  period_start       INTEGER NOT NULL,
  period_end         INTEGER NOT NULL,
  interim_closing    INTEGER NOT NULL DEFAULT 0,  -- 1: keeps an interim closing
  record_kind        INTEGER NOT NULL DEFAULT 0,  -- 99: past results
  entity_kind        INTEGER NOT NULL DEFAULT 0,  -- 0/1 corporation, 3/4 individual
  income_kind        INTEGER NOT NULL DEFAULT 0,  -- individuals: 1, 2, 3
  -- consumption-tax settings (StSHOHIZEIINFO)
  filing_class       INTEGER NOT NULL DEFAULT 2,
  rounding_mode      INTEGER NOT NULL DEFAULT 1,
  credit_method      INTEGER NOT NULL DEFAULT 0,
  main_business_type INTEGER NOT NULL DEFAULT 0,
  tax_included       INTEGER NOT NULL DEFAULT 0,
  imported_at        INTEGER NOT NULL DEFAULT 0   -- last import, seconds since 1970 (UTC), 0: not known
);

-- The tax rates (x 100) a data set uses, in the host's row order.
CREATE TABLE IF NOT EXISTS tax_rate (
  data_no INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  row_no  INTEGER NOT NULL,
  rate    INTEGER NOT NULL,
  PRIMARY KEY (data_no, row_no)
);

CREATE TABLE IF NOT EXISTS app_user (
  user_id          TEXT PRIMARY KEY,
  name             TEXT NOT NULL DEFAULT '',
  selected_no1     INTEGER NOT NULL DEFAULT 0,
  selected_data_no INTEGER NOT NULL DEFAULT 0
);

-- Account classes: a hierarchy whose nodes with total = 1 yield the total
-- records of the account sums.
CREATE TABLE IF NOT EXISTS account_class (
  data_no      INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  class_code   INTEGER NOT NULL,
  name         TEXT NOT NULL DEFAULT '',
  parent_class INTEGER,
  total        INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (data_no, class_code)
);

CREATE TABLE IF NOT EXISTS account (
  data_no      INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  account_id   INTEGER NOT NULL,
  code         TEXT NOT NULL,
  name         TEXT NOT NULL,
  class_code   INTEGER NOT NULL,
  excluded     INTEGER NOT NULL DEFAULT 0,
  balance_side INTEGER NOT NULL DEFAULT 1,  -- 1 debit, 2 credit
  refund_flag1 INTEGER NOT NULL DEFAULT 0,  -- StKAMOKUSUMINFO byte 126
  refund_flag2 INTEGER NOT NULL DEFAULT 0,  -- StKAMOKUSUMINFO byte 128
  PRIMARY KEY (data_no, account_id),
  UNIQUE (data_no, code)
);

CREATE TABLE IF NOT EXISTS department (
  data_no     INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  code        INTEGER NOT NULL,
  name        TEXT NOT NULL,
  kind        INTEGER NOT NULL DEFAULT 1,
  parent_code INTEGER NOT NULL DEFAULT 0,
  income_kind INTEGER NOT NULL DEFAULT 1,
  PRIMARY KEY (data_no, code)
);

CREATE TABLE IF NOT EXISTS journal_line (
  data_no          INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  line_id          INTEGER NOT NULL,
  journal_no       INTEGER NOT NULL,
  date             INTEGER NOT NULL,
  month_kind       INTEGER NOT NULL,  -- 1..12, 15, 18
  debit_account    INTEGER,           -- null: no debit side
  debit_dept       INTEGER NOT NULL DEFAULT 0,
  debit_amount     INTEGER NOT NULL DEFAULT 0,
  debit_tax        INTEGER NOT NULL DEFAULT 0,
  debit_tax_class  INTEGER NOT NULL DEFAULT 0,
  credit_account   INTEGER,
  credit_dept      INTEGER NOT NULL DEFAULT 0,
  credit_amount    INTEGER NOT NULL DEFAULT 0,
  credit_tax       INTEGER NOT NULL DEFAULT 0,
  credit_tax_class INTEGER NOT NULL DEFAULT 0,
  tax_rate         INTEGER NOT NULL DEFAULT 0,  -- x 100
  business_type    INTEGER NOT NULL DEFAULT 0,  -- 0 none, 1..6
  description      TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (data_no, line_id)
);
-- The services read the lines through the derived data that the host keeps
-- beside them (mvhost/lib/JournalDerived.cpp: the packed lines and the
-- totals per tax class, account and department), not through indexes of this
-- table; the indexes earlier stores had are dropped.
DROP INDEX IF EXISTS journal_line_month;
DROP INDEX IF EXISTS journal_line_tax_return;
DROP INDEX IF EXISTS journal_line_accounts;

CREATE TABLE IF NOT EXISTS fixed_asset (
  data_no            INTEGER NOT NULL REFERENCES data_set(data_no) ON DELETE CASCADE,
  asset_id           INTEGER NOT NULL,
  code               TEXT NOT NULL,
  name               TEXT NOT NULL,
  kind               INTEGER NOT NULL DEFAULT 1,  -- 9 deferred asset
  acquisition_date   INTEGER NOT NULL,
  acquisition_amount INTEGER NOT NULL,
  income_kind        INTEGER NOT NULL DEFAULT 1,
  PRIMARY KEY (data_no, asset_id)
);
CREATE INDEX IF NOT EXISTS fixed_asset_date ON fixed_asset (data_no, acquisition_date);

-- The saved consumption-tax return: the StSaveTaxInfo image (15360 bytes).
CREATE TABLE IF NOT EXISTS saved_return (
  data_no INTEGER PRIMARY KEY REFERENCES data_set(data_no) ON DELETE CASCADE,
  image   BLOB NOT NULL
);

-- Every launch of a program by the tool (launch, batch): who ran which data
-- set with which conditions, how it ended and what it wrote. No reference
-- to data_set: the log keeps the runs of a data set replaced or removed.
CREATE TABLE IF NOT EXISTS run_log (
  run_id        INTEGER PRIMARY KEY,
  started_at    TEXT NOT NULL,     -- UTC, 2015-05-20T05:03:07Z
  user_id       TEXT NOT NULL,     -- empty: none known
  data_no       INTEGER,           -- null: none known
  edition       TEXT NOT NULL,     -- Alto, Std, Serena, or the program's path
  start_month   INTEGER,           -- the conditions the run took; null when
  end_month     INTEGER,           -- the run took none (refused, cancelled)
  method        TEXT,              -- journals or saved
  result        TEXT NOT NULL,     -- written, stopped, failed, no-result
  report_path   TEXT,              -- POSIX path of the written report
  report_sha256 TEXT,
  duration_ms   INTEGER NOT NULL,
  via           TEXT NOT NULL      -- launch or batch
);
CREATE INDEX IF NOT EXISTS run_log_data ON run_log (data_no, run_id);
