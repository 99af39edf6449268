#include "sheet/ReportContent.h"

#include <algorithm>

namespace taxlink::sheet {

const ReportGroup* ReportContent::Group(std::string_view name) const {
  auto it = std::find_if(groups.begin(), groups.end(),
                         [name](const ReportGroup& g) { return g.name == name; });
  return it == groups.end() ? nullptr : &*it;
}

std::string ReportContent::Text(std::string_view group, std::string_view element) const {
  const ReportGroup* g = Group(group);
  if (g == nullptr) return {};
  auto it = std::find_if(g->elements.begin(), g->elements.end(),
                         [element](const ReportElement& e) { return e.name == element; });
  return it == g->elements.end() ? std::string() : it->text;
}

}  // namespace taxlink::sheet
