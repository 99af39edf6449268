#!/usr/bin/env python3
"""Generates the demo data sets in examples/ (deterministic).

Each data set is a JSON file with its journal lines in a CSV file beside it.
Run from the repository root: scripts/make-examples.py
"""
import csv
import json
import os
import random
from datetime import date, timedelta

OUT = os.path.join(os.path.dirname(__file__), '..', 'examples')

CSV_COLUMNS = ['journal', 'date', 'month', 'debit_account', 'debit_dept', 'debit_amount',
               'debit_tax', 'debit_tax_class', 'credit_account', 'credit_dept', 'credit_amount',
               'credit_tax', 'credit_tax_class', 'rate', 'business_type', 'description']

# Account classes shared by the demos. The expense and purchase classes are
# the ones the link program selects for its refund statements.
CLASSES = [
    ('0x01000000', '資産', None, False),
    ('0x01100000', '現金及び預金', '0x01000000', True),
    ('0x01200000', '売上債権', '0x01000000', True),
    ('0x01400000', '棚卸資産', '0x01000000', True),
    ('0x01800000', '有形固定資産', '0x01000000', True),
    ('0x01040000', '仮払消費税等', '0x01000000', False),
    ('0x02000000', '負債', None, False),
    ('0x02100000', '仕入債務', '0x02000000', True),
    ('0x02200000', '未払金', '0x02000000', True),
    ('0x02400000', '仮受消費税等', '0x02000000', False),
    ('0x04000000', '純資産', None, False),
    ('0x60880000', '売上高', None, True),
    ('0x60840000', '営業外収益', None, True),
    ('0x40884400', '売上原価', None, True),
    ('0x40882000', '販売費及び一般管理費', None, True),
    ('0x40882040', '人件費', '0x40882000', False),
    ('0x40882020', '販売費', '0x40882000', False),
    ('0x40882010', '一般管理費', '0x40882000', False),
    ('0x40844000', '営業外費用', None, True),
    ('0x40440000', '特別損失', None, True),
]

# code, name, class, balance side
ACCOUNTS = [
    ('111', '現金', '0x01100000', 'debit'),
    ('131', '普通預金', '0x01100000', 'debit'),
    ('152', '売掛金', '0x01200000', 'debit'),
    ('161', '商品', '0x01400000', 'debit'),
    ('212', '車両運搬具', '0x01800000', 'debit'),
    ('213', '工具器具備品', '0x01800000', 'debit'),
    ('191', '仮払消費税', '0x01040000', 'debit'),
    ('312', '買掛金', '0x02100000', 'credit'),
    ('321', '未払金', '0x02200000', 'credit'),
    ('335', '仮受消費税', '0x02400000', 'credit'),
    ('411', '資本金', '0x04000000', 'credit'),
    ('511', '売上高', '0x60880000', 'credit'),
    ('512', '売上値引', '0x60880000', 'debit'),
    ('521', '受取利息', '0x60840000', 'credit'),
    ('611', '仕入高', '0x40884400', 'debit'),
    ('612', '仕入値引', '0x40884400', 'credit'),
    ('711', '給料手当', '0x40882040', 'debit'),
    ('721', '広告宣伝費', '0x40882020', 'debit'),
    ('722', '荷造運賃', '0x40882020', 'debit'),
    ('731', '旅費交通費', '0x40882010', 'debit'),
    ('732', '通信費', '0x40882010', 'debit'),
    ('733', '消耗品費', '0x40882010', 'debit'),
    ('734', '地代家賃', '0x40882010', 'debit'),
    ('735', '水道光熱費', '0x40882010', 'debit'),
    ('736', 'リース料', '0x40882010', 'debit'),
    ('737', '減価償却費', '0x40882010', 'debit'),
    ('738', '租税公課', '0x40882010', 'debit'),
    ('739', '支払手数料', '0x40882010', 'debit'),
    ('741', '貸倒損失', '0x40882010', 'debit'),
    ('811', '支払利息', '0x40844000', 'debit'),
    ('911', '固定資産除却損', '0x40440000', 'debit'),
]


def month_dates(start, months=12):
    """First day of each accounting month."""
    y, m = start.year, start.month
    for _ in range(months):
        yield date(y, m, 1)
        m += 1
        if m == 13:
            y, m = y + 1, 1


def last_day(d):
    nxt = date(d.year + (d.month // 12), d.month % 12 + 1, 1)
    return nxt - timedelta(days=1)


def tax_of(amount, rate):
    return amount * rate // 100


class Book:
    def __init__(self, start):
        self.start = start
        self.lines = []
        self.journal = 0

    def month_of(self, d):
        return (d.year - self.start.year) * 12 + d.month - self.start.month + 1

    def add(self, d, debit, credit, rate=0, business_type=0, description='', month=None,
            new_journal=True):
        if new_journal:
            self.journal += 1
        row = {'journal': self.journal, 'date': d.isoformat(),
               'month': month if month is not None else self.month_of(d),
               'rate': rate, 'business_type': business_type or '', 'description': description}
        for side, values in (('debit', debit), ('credit', credit)):
            account, dept, amount, tax, tax_class = values if values else ('', '', '', '', '')
            row[side + '_account'] = account
            row[side + '_dept'] = dept or ''
            row[side + '_amount'] = amount
            row[side + '_tax'] = tax or ''
            row[side + '_tax_class'] = tax_class if values else ''
        self.lines.append(row)

    def sale(self, d, dept, amount, rate, tax_class=1, business_type=0, text='売上',
             receivable='152'):
        tax = tax_of(amount, rate) if tax_class == 1 else 0
        self.add(d, (receivable, dept, amount + tax, 0, 0), ('511', dept, amount, tax, tax_class),
                 rate if tax_class in (1, 2) else 0, business_type, text)

    def expense(self, d, account, dept, amount, rate, tax_class, text, payable='131'):
        tax = tax_of(amount, rate) if 21 <= tax_class <= 23 else 0
        self.add(d, (account, dept, amount, tax, tax_class), (payable, 0, amount + tax, 0, 0),
                 rate if tax else 0, 0, text)

    def write_csv(self, path):
        # In date order, journals numbered afresh in that order.
        self.lines.sort(key=lambda row: (row['date'], row['journal']))
        numbers = {}
        for row in self.lines:
            row['journal'] = numbers.setdefault(row['journal'], len(numbers) + 1)
        with open(path, 'w', newline='', encoding='utf-8') as f:
            w = csv.DictWriter(f, fieldnames=CSV_COLUMNS, lineterminator='\n')
            w.writeheader()
            for row in self.lines:
                w.writerow(row)


def sums(book, tax_class, rate):
    """Excluded amount and tax of the lines of one tax class and rate."""
    excl = tax = 0
    for row in book.lines:
        if row['rate'] != rate:
            continue
        for side in ('debit', 'credit'):
            if row[side + '_tax_class'] == tax_class and row[side + '_account']:
                excl += int(row[side + '_amount'])
                tax += int(row[side + '_tax'] or 0)
    return excl, tax


def base_json(info, settings, rates, book, csv_name, departments, assets, users, saved=None):
    return {
        'format': 'mvhost-data-1',
        'data_set': info,
        'tax_settings': settings,
        'tax_rates': rates,
        'account_classes': [{'code': c, 'name': n, 'parent': p, 'total': t}
                            for c, n, p, t in CLASSES],
        'accounts': [{'code': c, 'name': n, 'class': k, 'balance_side': s}
                     for c, n, k, s in ACCOUNTS],
        'departments': departments,
        'journals_csv': csv_name,
        'fixed_assets': assets,
        'saved_return': saved,
        'users': users,
    }


def write(folder, name, data, book):
    os.makedirs(os.path.join(OUT, folder), exist_ok=True)
    book.write_csv(os.path.join(OUT, folder, data['journals_csv']))
    with open(os.path.join(OUT, folder, name), 'w', encoding='utf-8') as f:
        json.dump(data, f, ensure_ascii=False, indent=2)
        f.write('\n')


def standard_corporation():
    rnd = random.Random(2014)
    start = date(2014, 4, 1)
    book = Book(start)
    depts = [101, 102]
    for first in month_dates(start):
        n = book.month_of(first)
        for i in range(8):
            d = first + timedelta(days=rnd.randrange(0, 27))
            book.sale(d, rnd.choice(depts), rnd.randrange(80, 900) * 1000, 8,
                      text='商品売上 ' + rnd.choice(['卸', '小売', '法人']))
        for i in range(5):
            d = first + timedelta(days=rnd.randrange(0, 27))
            amount = rnd.randrange(40, 500) * 1000
            book.expense(d, '611', rnd.choice(depts), amount, 8, 21, '商品仕入', payable='312')
        if n % 3 == 0:
            book.sale(first + timedelta(days=14), 101, rnd.randrange(200, 600) * 1000, 0, 2,
                      text='輸出売上（免税）')
        book.expense(first + timedelta(days=24), '711', 201, 2450000, 0, 0, '給与支払')
        book.expense(first, '734', 201, 380000, 8, 23, '事務所家賃')
        book.expense(first + timedelta(days=9), '736', 201, 45000, 5, 23,
                     'リース料（経過措置 5%）')
        book.expense(first + timedelta(days=19), '735', 201, rnd.randrange(30, 60) * 1000, 8, 23,
                     '電気料金')
        book.expense(first + timedelta(days=11), '731', rnd.choice(depts),
                     rnd.randrange(20, 90) * 1000, 8, 21, '出張旅費')
        book.expense(first + timedelta(days=16), '733', 201, rnd.randrange(5, 40) * 1000, 8, 23,
                     '事務用品')
        book.expense(first + timedelta(days=22), '721', 101, rnd.randrange(50, 150) * 1000, 8, 21,
                     'チラシ広告')
        book.expense(first + timedelta(days=26), '811', 201, 28000, 0, 24, '借入金利息')
        book.add(first + timedelta(days=20), ('131', 0, 1200, 0, 0), ('521', 0, 1200, 0, 3), 0, 0,
                 '預金利息')
        if n <= 2:
            book.add(first + timedelta(days=6), ('512', 102, 60000, 3000, 6),
                     ('152', 102, 63000, 0, 0), 5, 0, '旧税率売上の返品（5%）')
        if n in (4, 10):
            book.add(first + timedelta(days=12), ('152', 101, 103000, 0, 0),
                     ('511', 101, 100000, 3000, 1), 3, 0, '延払販売の回収（旧税率 3%）')
        if n == 7:
            book.add(first + timedelta(days=3), ('741', 102, 150000, 12000, 10),
                     ('152', 102, 162000, 0, 0), 8, 0, '取引先倒産による貸倒れ')
        if n == 6:
            book.add(last_day(first), ('737', 201, 420000, 0, 40), ('212', 0, 420000, 0, 0), 0, 0,
                     '中間決算 減価償却', month=15)
        if n == 12:
            book.add(last_day(first), ('737', 201, 460000, 0, 40), ('212', 0, 460000, 0, 0), 0, 0,
                     '決算 減価償却', month=18)
            book.add(last_day(first), ('911', 201, 85000, 0, 40), ('213', 0, 85000, 0, 0), 0, 0,
                     '備品除却', month=18)
    book.add(date(2014, 6, 10), ('212', 201, 2400000, 192000, 23), ('321', 0, 2592000, 0, 0), 8,
             0, '営業車 購入')
    book.add(date(2014, 9, 1), ('213', 201, 850000, 68000, 23), ('321', 0, 918000, 0, 0), 8, 0,
             '複合機 購入')
    s8, t8 = sums(book, 1, 8)
    s5r, t5r = sums(book, 6, 5)
    s3, t3 = sums(book, 1, 3)
    p8, q8 = sums(book, 21, 8)
    c8, d8 = sums(book, 23, 8)
    c5, d5 = sums(book, 23, 5)
    ex, _ = sums(book, 2, 0)
    saved = {
        'taxation_method': 1, 'credit_method_code': 1, 'sales_tax_method': 0,
        'purchase_tax_method': 0, 'transitional': 1,
        'period_start': '2014-04-01', 'period_end': '2015-03-31',
        'return_period_start': '2014-04-01', 'return_period_end': '2015-03-31',
        'month_range_first': '2014-04-01', 'month_range_last': '2015-03-31',
        'data_code': 2,
        'amounts': {
            '12515': s8, '12523': t8, '12531': s8 + t8,
            '12539': ex,
            '669': s3, '677': t3, '685': s3 + t3,
            '621': s5r, '629': t5r, '637': s5r + t5r,
            '12707': p8, '12715': q8, '12723': p8 + q8,
            '12755': c8, '12763': d8, '12771': c8 + d8,
            '813': c5, '821': d5, '829': c5 + d5,
        },
    }
    data = base_json(
        {'data_no': 1, 'data_id': 'SAKURA2014', 'company_name': '株式会社さくら商事',
         'period_start': '2014-04-01', 'period_end': '2015-03-31', 'interim_closing': True,
         'record_kind': 0, 'entity_kind': 1, 'income_kind': 0},
        {'filing_class': 2, 'rounding_mode': 1, 'credit_method': 0, 'main_business_type': 0,
         'tax_included': False},
        [8, 5, 3], book, 'journals.csv',
        [{'code': 100, 'name': '営業本部', 'kind': 0, 'parent': 0, 'income_kind': 1},
         {'code': 101, 'name': '東京本店', 'kind': 1, 'parent': 100, 'income_kind': 1},
         {'code': 102, 'name': '大阪支店', 'kind': 1, 'parent': 100, 'income_kind': 1},
         {'code': 201, 'name': '管理部', 'kind': 1, 'parent': 0, 'income_kind': 1}],
        [{'code': 'A001', 'name': '営業車', 'kind': 1, 'acquired': '2014-06-10',
          'amount': 2400000, 'income_kind': 1},
         {'code': 'A002', 'name': '複合機', 'kind': 1, 'acquired': '2014-09-01',
          'amount': 850000, 'income_kind': 1},
         {'code': 'A003', 'name': '陳列棚', 'kind': 1, 'acquired': '2012-05-20',
          'amount': 640000, 'income_kind': 1},
         {'code': 'D001', 'name': '開業費', 'kind': 9, 'acquired': '2014-04-01',
          'amount': '350000.5', 'income_kind': 1}],
        [{'id': 'sakura', 'name': 'さくら商事 経理担当', 'selected_no1': 1}],
        saved)
    write('standard-corporation', 'sakura.json', data, book)
    return len(book.lines)


def simplified_corporation():
    rnd = random.Random(2015)
    start = date(2014, 4, 1)
    book = Book(start)
    kinds = [(1, '卸売（業者向け）'), (2, '店頭小売'), (3, '木工品製造'), (4, 'カフェ飲食'),
             (5, '修理サービス')]
    for first in month_dates(start):
        for i in range(14):
            d = first + timedelta(days=rnd.randrange(0, 27))
            bt, text = rnd.choice(kinds)
            book.sale(d, 0, rnd.randrange(20, 400) * 1000, 8, business_type=bt, text=text,
                      receivable=rnd.choice(['111', '152']))
        for i in range(4):
            d = first + timedelta(days=rnd.randrange(0, 27))
            book.expense(d, '611', 0, rnd.randrange(30, 250) * 1000, 8, 21, '材料・商品仕入',
                         payable='312')
        book.expense(first, '734', 0, 180000, 8, 23, '店舗家賃')
        book.expense(first + timedelta(days=24), '711', 0, 1200000, 0, 0, '給与支払')
        book.expense(first + timedelta(days=18), '735', 0, rnd.randrange(25, 45) * 1000, 8, 23,
                     '電気・ガス料金')
        if book.month_of(first) <= 3:
            book.add(first + timedelta(days=8), ('512', 0, 40000, 2000, 6),
                     ('152', 0, 42000, 0, 0), 5, 1, '旧税率売上の値引（5%）')
    data = base_json(
        {'data_no': 2, 'data_id': 'MIDORI2014', 'company_name': '有限会社みどり工房',
         'period_start': '2014-04-01', 'period_end': '2015-03-31', 'interim_closing': False,
         'record_kind': 0, 'entity_kind': 1, 'income_kind': 0},
        {'filing_class': 1, 'rounding_mode': 1, 'credit_method': 0, 'main_business_type': 2,
         'tax_included': False},
        [8, 5], book, 'journals.csv', [],
        [{'code': 'K001', 'name': '木工機械', 'kind': 1, 'acquired': '2014-07-15',
          'amount': 1650000, 'income_kind': 1}],
        [{'id': 'midori', 'name': 'みどり工房 事務', 'selected_no1': 1}])
    write('simplified-corporation', 'midori.json', data, book)
    return len(book.lines)


def individual():
    rnd = random.Random(2016)
    start = date(2014, 1, 1)
    book = Book(start)
    for first in month_dates(start):
        rate = 5 if first < date(2014, 4, 1) else 8
        for i in range(9):
            d = first + timedelta(days=rnd.randrange(0, 27))
            book.sale(d, 10, rnd.randrange(50, 600) * 1000, rate,
                      text=rnd.choice(['ロゴデザイン', 'パンフレット制作', 'ウェブ制作']))
        book.add(first + timedelta(days=26), ('131', 20, 480000, 0, 0), ('511', 20, 480000, 0, 3),
                 0, 0, 'アパート家賃収入（居住用）')
        book.sale(first + timedelta(days=26), 30, 60000, rate, text='月極駐車場収入',
                  receivable='131')
        book.expense(first + timedelta(days=4), '734', 10, 90000, rate, 21, '作業場家賃')
        book.expense(first + timedelta(days=12), '732', 10, rnd.randrange(8, 20) * 1000, rate, 21,
                     '通信費')
        book.expense(first + timedelta(days=15), '733', 10, rnd.randrange(5, 50) * 1000, rate, 21,
                     '画材・消耗品')
        book.expense(first + timedelta(days=20), '739', 20, 24000, rate, 22, '賃貸管理手数料')
        book.expense(first + timedelta(days=21), '735', 30, 3000, rate, 21, '駐車場照明')
        book.expense(first + timedelta(days=25), '811', 20, 65000, 0, 24, 'アパートローン利息')
        if first.month in (3, 6, 9, 12):
            book.expense(first + timedelta(days=10), '738', 20, 120000, 0, 40, '固定資産税')
            book.expense(first + timedelta(days=7), '731', 10, rnd.randrange(20, 80) * 1000, rate,
                         21, '打合せ交通費')
        if first.month == 12:
            book.add(last_day(first), ('737', 20, 900000, 0, 40), ('212', 0, 900000, 0, 0), 0, 0,
                     '減価償却（アパート）', month=18)
    book.add(date(2014, 5, 8), ('213', 10, 280000, 22400, 21), ('131', 0, 302400, 0, 0), 8, 0,
             'デザイン用パソコン')
    data = base_json(
        {'data_no': 3, 'data_id': 'AOBA2014', 'company_name': '青葉デザイン事務所',
         'period_start': '2014-01-01', 'period_end': '2014-12-31', 'interim_closing': False,
         'record_kind': 0, 'entity_kind': 3, 'income_kind': 3},
        {'filing_class': 2, 'rounding_mode': 1, 'credit_method': 0, 'main_business_type': 0,
         'tax_included': False},
        [8, 5], book, 'journals.csv',
        [{'code': 10, 'name': 'デザイン事業', 'kind': 1, 'parent': 0, 'income_kind': 1},
         {'code': 20, 'name': '賃貸アパート', 'kind': 2, 'parent': 0, 'income_kind': 3},
         {'code': 30, 'name': '月極駐車場', 'kind': 2, 'parent': 0, 'income_kind': 3}],
        [{'code': 'P001', 'name': 'パソコン', 'kind': 1, 'acquired': '2014-05-08',
          'amount': 280000, 'income_kind': 1},
         {'code': 'R001', 'name': 'アパート外壁改修', 'kind': 1, 'acquired': '2014-10-20',
          'amount': 1800000, 'income_kind': 2}],
        [{'id': 'aoba', 'name': '青葉 事業主', 'selected_no1': 1}])
    write('individual', 'aoba.json', data, book)
    return len(book.lines)


if __name__ == '__main__':
    print('standard corporation:', standard_corporation(), 'lines')
    print('simplified corporation:', simplified_corporation(), 'lines')
    print('individual:', individual(), 'lines')
