#include "mvhost/lib/CheckPart.h"

#include "mvhost/lib/BlobReader.h"
#include "mvhost/lib/BlobWriter.h"

namespace mvhost {

namespace {

// The stored form's first bytes; another form is never read as this one.
constexpr char kMagic[4] = {'C', 'P', '1', '\0'};
// Every number is stored in 8 bytes: an item of N numbers takes N words.
constexpr size_t kWord = 8;

}  // namespace

int64_t CheckPart::LineFindings() const {
  int64_t total = 0;
  for (int64_t count : counts) total += count;
  return total;
}

std::string EncodeCheckParts(const std::vector<CheckPart>& parts) {
  std::string out(kMagic, sizeof kMagic);
  BlobWriter w(&out);
  w.Int(static_cast<int64_t>(parts.size()));
  for (const CheckPart& p : parts) {
    w.Int(p.chunk);
    w.Int(p.changes);
    w.Int(p.lines);
    w.Int(static_cast<int64_t>(p.sum));
    w.Int((p.modest ? 1 : 0) | (p.ordered ? 2 : 0));
    for (int64_t count : p.counts) w.Int(count);
    for (const std::vector<CheckPart::Journal>* list : {&p.journals, &p.unbalanced}) {
      w.Int(static_cast<int64_t>(list->size()));
      for (const CheckPart::Journal& j : *list) {
        w.Int(j.journal);
        w.Int(j.debit);
        w.Int(j.credit);
        w.Int(j.tooLarge ? 1 : 0);
        w.Int(j.place);
      }
    }
    w.Int(p.unbalancedCount);
    w.Int(static_cast<int64_t>(p.unfed.size()));
    for (const CheckPart::Unfed& u : p.unfed) {
      w.Int(u.account);
      w.Int(u.place);
      w.Int(u.journal);
      w.Int(u.lines);
      w.Int(u.amount);
    }
    w.Int(static_cast<int64_t>(p.purchases.size()));
    for (const CheckPart::Purchase& b : p.purchases) {
      w.Int(b.place);
      w.Int(b.journal);
      w.Int(b.account);
      w.Int(b.date);
      w.Int(b.amount);
      w.Int(b.tax);
      w.Int(b.taxable ? 1 : 0);
    }
    w.Int(p.texts ? 1 : 0);
    w.Int(static_cast<int64_t>(p.findings.size()));
    for (const CheckPart::Finding& f : p.findings) {
      w.Int(static_cast<int64_t>(f.rule));
      w.Int(f.journal);
      w.Int(f.place);
      w.Text(f.what);
      w.Text(f.todo);
    }
  }
  return out;
}

bool DecodeCheckParts(const std::string& bytes, std::vector<CheckPart>* parts) {
  parts->clear();
  BlobReader in(bytes);
  size_t count = 0;
  if (!in.Skip(kMagic, sizeof kMagic) || !in.Count(kWord * 16, &count)) return false;
  parts->resize(count);
  for (CheckPart& p : *parts) {
    int64_t sum = 0;
    int64_t flags = 0;
    size_t items = 0;
    if (!in.Int(&p.chunk) || !in.Int(&p.changes) || !in.Int(&p.lines) || p.lines < 0 ||
        !in.Int(&sum) || !in.Int(&flags)) {
      return false;
    }
    p.sum = static_cast<uint64_t>(sum);
    p.modest = (flags & 1) != 0;
    p.ordered = (flags & 2) != 0;
    for (int64_t& c : p.counts) {
      if (!in.Int(&c) || c < 0) return false;
    }
    for (std::vector<CheckPart::Journal>* list : {&p.journals, &p.unbalanced}) {
      if (!in.Count(kWord * 5, &items)) return false;
      list->resize(items);
      for (CheckPart::Journal& j : *list) {
        int64_t tooLarge = 0;
        if (!in.Int32(&j.journal) || !in.Int(&j.debit) || !in.Int(&j.credit) ||
            !in.Int(&tooLarge) || !in.Int(&j.place)) {
          return false;
        }
        j.tooLarge = tooLarge != 0;
      }
    }
    if (p.journals.size() > 2 || !in.Int(&p.unbalancedCount) ||
        p.unbalancedCount < static_cast<int64_t>(p.unbalanced.size())) {
      return false;
    }
    if (!in.Count(kWord * 5, &items)) return false;
    p.unfed.resize(items);
    for (CheckPart::Unfed& u : p.unfed) {
      if (!in.Int32(&u.account) || u.account < 0 || !in.Int(&u.place) || !in.Int32(&u.journal) ||
          !in.Int(&u.lines) || !in.Int(&u.amount)) {
        return false;
      }
    }
    if (!in.Count(kWord * 7, &items)) return false;
    p.purchases.resize(items);
    for (CheckPart::Purchase& b : p.purchases) {
      int64_t taxable = 0;
      if (!in.Int(&b.place) || !in.Int32(&b.journal) || !in.Int32(&b.account) ||
          b.account < 0 || !in.Int32(&b.date) || !in.Int(&b.amount) || !in.Int(&b.tax) ||
          !in.Int(&taxable)) {
        return false;
      }
      b.taxable = taxable != 0;
    }
    int64_t texts = 0;
    if (!in.Int(&texts) || !in.Count(kWord * 5, &items)) return false;
    p.texts = texts != 0;
    p.findings.resize(items);
    for (CheckPart::Finding& f : p.findings) {
      int64_t rule = 0;
      if (!in.Int(&rule) || rule < 0 || rule >= static_cast<int64_t>(kCheckRuleCount) ||
          !in.Int32(&f.journal) || !in.Int(&f.place) || !in.Text(&f.what) || !in.Text(&f.todo)) {
        return false;
      }
      f.rule = static_cast<CheckRule>(rule);
    }
  }
  return in.AtEnd();
}

}  // namespace mvhost
