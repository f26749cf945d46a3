#include "run/batch_index.h"

#include <algorithm>
#include <cmath>

#include "run/exit_status.h"
#include "run/plot_area.h"
#include "run/results_table.h"
#include "support/text/markup.h"
#include "support/text/number_text.h"

namespace qartwo {
namespace {

constexpr std::size_t kChartRows = 30;
// About what a row of the table and the rest of the page take, to make room at once.
constexpr std::size_t kRowBytes = 160;
constexpr std::size_t kPageBytes = 16384;
constexpr std::size_t kChartNameRoom = 32;  // characters of a name in the chart
constexpr int kDigits = 5;
constexpr int kChartRow = 22;  // pixels
constexpr int kChartTop = 30;
constexpr double kChartLeft = 250.0;
constexpr double kChartWidth = 560.0;

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
    "<title>qartwo batch: fatigue damage of ";
constexpr std::string_view kStyle =
    "<style>\n"
    "body{font-family:\"DejaVu Sans\",Verdana,Arial,sans-serif;font-size:14px;color:#1d1d1d;"
    "margin:24px;max-width:1200px}\n"
    "h1{font-size:22px}h2{font-size:17px;margin-top:28px}\n"
    "dl{display:grid;grid-template-columns:max-content auto;gap:4px 16px}dt{font-weight:bold}"
    "dd{margin:0}\n"
    "table.hot-spots{border-collapse:collapse}\n"
    ".hot-spots th,.hot-spots td{padding:3px 10px;border-bottom:1px solid #ddd;text-align:left;"
    "vertical-align:top}\n"
    ".hot-spots th{white-space:nowrap}\n"
    ".hot-spots td:nth-child(-n+7):not(:nth-child(2)):not(:nth-child(6)){text-align:right;"
    "font-variant-numeric:tabular-nums}\n"
    ".hot-spots thead th{background:#f0f0f0;position:sticky;top:0}\n"
    "tr.failed{background:#fdecea}\n"
    ".hot-spots td:nth-child(8){max-width:40em;font-size:13px;overflow-wrap:anywhere}\n"
    ".pass{color:#1a7f37}.fail,.status-failed{color:#c62828;font-weight:bold}\n"
    "svg.chart{max-width:900px;width:100%;height:auto}\n"
    ".chart text{font-size:12px;fill:#1d1d1d}.chart .bar{fill:#7ea7d8}"
    ".chart .bar.fail{fill:#d9534f}.chart .limit{stroke:#c62828;stroke-dasharray:6 3}"
    ".chart .grid{stroke:#ddd}\n"
    "</style>\n</head>\n<body>\n";

// The value rows are ordered by.
double Weight(const IndexRow& row, bool by_utilisation) {
  return by_utilisation ? row.utilisation : row.damage;
}

bool ByUtilisation(const BatchIndex& index) {
  const bool any = std::any_of(index.rows.begin(), index.rows.end(),
                               [](const IndexRow& row) { return row.status == kExitCompleted; });
  return any && index.every_design_life;
}

std::size_t Failed(const BatchIndex& index) {
  return static_cast<std::size_t>(
      std::count_if(index.rows.begin(), index.rows.end(),
                    [](const IndexRow& row) { return row.status != kExitCompleted; }));
}

void AppendNumber(std::string& html, double value) {
  AppendSignificant(html, value, kDigits);
}

// The hot spot's name, linked to its picture when it has one.
void AppendLinkedName(std::string& html, const IndexRow& row, std::size_t room) {
  if (row.status == kExitCompleted) {
    html += "<a href=\"";
    AppendPercentEncoded(html, row.name);
    html += ".svg\">";
  }
  AppendMarkupText(html, row.name, TextSource::kRaw, room);
  if (row.status == kExitCompleted) html += "</a>";
}

// An option of the batch: its value as given, where a list's column overrides it, else its
// default.
struct ShownOption {
  std::string_view term;
  std::string_view value;
  std::string_view unit;
  ListColumn column;
  std::string_view otherwise;  // when neither the option nor the column gives one; "" for none
};

void AppendOption(std::string& html, const ShownOption& option, const HotSpotList& list) {
  const bool column = HasColumn(list, option.column);
  html += "<dt>";
  html += option.term;
  html += "</dt><dd>";
  if (!option.value.empty()) {
    AppendMarkupText(html, option.value, TextSource::kRaw);
    html += option.unit;
  }
  if (column) {
    html += option.value.empty() ? "from the list's column " : ", unless the list's column ";
    html += kListColumnNames[option.column];
    html += option.value.empty() ? "" : " gives another";
    if (option.value.empty() && !option.otherwise.empty()) {
      html += ", else ";
      html += option.otherwise;
    }
  } else if (option.value.empty()) {
    html += option.otherwise;
  }
  html += "</dd>\n";
}

void WriteInputs(std::string& html, const BatchOptions& options, const HotSpotList& list,
                 std::size_t count) {
  html += "<section id=\"inputs\">\n<h2>Inputs</h2>\n<dl>\n<dt>Hot spots</dt><dd>" +
          std::to_string(count);
  if (options.list.empty()) {
    html += " histograms named on the command line";
  } else {
    html += " from the list <code>";
    AppendMarkupText(html, options.list, TextSource::kRaw);
    html += "</code>";
  }
  html += "</dd>\n";
  const ShownOption shown[] = {
      {"SN-curve", options.curve, "", kCurveColumn, ""},
      {"SCF", options.scf, "", kScfColumn, "1.0"},
      {"Thickness", options.thickness, " mm", kThicknessColumn, "the curve's reference"},
      {"Design life", options.design_life, " years", kDesignLifeColumn, "none"},
      {"DFF", options.dff, "", kDffColumn,
       options.design_life.empty() ? "1.0 with a design life" : "1.0"}};
  for (const ShownOption& option : shown) AppendOption(html, option, list);
  html += "<dt>Output folder</dt><dd><code>";
  AppendMarkupText(html, options.output, TextSource::kRaw);
  html += "</code>: results.csv, a picture per hot spot";
  if (options.reports) html += ", reports";
  if (options.blocks) html += ", block tables";
  html += "</dd>\n</dl>\n</section>\n";
}

void WriteSummary(std::string& html, const BatchIndex& index, bool by_utilisation) {
  const std::size_t failed = Failed(index);
  html += "<section id=\"summary\">\n<h2>Summary</h2>\n<p>" + std::to_string(index.rows.size()) +
          " hot spots, " + std::to_string(failed) + " failed.";
  if (failed > 0) html += " <a href=\"#failed\">The failed ones</a> stand at the table's end.";
  html += "</p>\n";
  if (failed == index.rows.size()) {
    html += "</section>\n";
    return;
  }
  const IndexRow& worst = index.rows.front();
  html += "<p class=\"worst\">Worst: ";
  AppendLinkedName(html, worst, std::string_view::npos);
  if (by_utilisation) {
    html += ", utilisation ";
    AppendNumber(html, worst.utilisation);
    html += worst.utilisation <= 1.0 ? " (<span class=\"pass\">pass</span>)"
                                     : " (<span class=\"fail\">fail</span>)";
  }
  html += ", damage per year ";
  AppendNumber(html, worst.damage);
  html += by_utilisation ? ".</p>\n<p>Ordered by utilisation = damage per year \u00D7 design life "
                           "\u00D7 DFF.</p>\n"
                         : ".</p>\n<p>Ordered by damage per year (not every hot spot has a "
                           "design life).</p>\n";
  html += "</section>\n";
}

void WriteChartRow(std::string& html, const PlotArea& area, const IndexRow& row, std::size_t at,
                   bool by_utilisation) {
  const double value = Weight(row, by_utilisation);
  const int y = kChartTop + static_cast<int>(at) * kChartRow;
  html += "<a href=\"";
  AppendPercentEncoded(html, row.name);
  html += ".svg\"><text text-anchor=\"end\" x=\"" + std::to_string(kChartLeft - 8) + "\" y=\"" +
          std::to_string(y + 14) + "\">";
  AppendMarkupText(html, row.name, TextSource::kRaw, kChartNameRoom);
  html += by_utilisation && value > 1.0 ? "</text><rect class=\"bar fail\" x=\""
                                        : "</text><rect class=\"bar\" x=\"";
  AppendRounded(html, area.left, 2);
  html += "\" y=\"" + std::to_string(y + 2) + "\" height=\"16\" width=\"";
  AppendRounded(html, std::max(PixelX(area, value) - area.left, 1.0), 2);
  html += "\"/></a><text x=\"";
  AppendRounded(html, PixelX(area, value) + 6, 2);
  html += "\" y=\"" + std::to_string(y + 14) + "\">";
  AppendNumber(html, value);
  html += "</text>\n";
}

// A bar per hot spot of the first kChartRows with status 0, each linked to its picture; with
// utilisations of 1 or more the limit 1 is drawn.
void WriteChart(std::string& html, const BatchIndex& index, bool by_utilisation) {
  const std::size_t rows = std::min(kChartRows, index.rows.size() - Failed(index));
  if (rows == 0) return;
  const int height = kChartTop + static_cast<int>(rows) * kChartRow + 10;
  PlotArea area{.left = kChartLeft,
                .top = kChartTop,
                .width = kChartWidth,
                .height = static_cast<double>(height - kChartTop - 10),
                .x = {},
                .y = {}};
  area.x = RoundScale(Weight(index.rows.front(), by_utilisation));
  html += "<section id=\"chart\">\n<h2>The " + std::to_string(rows) +
          (by_utilisation ? " highest utilisations" : " highest damages per year") +
          "</h2>\n<svg class=\"chart\" viewBox=\"0 0 900 " + std::to_string(height) +
          "\" role=\"img\">\n";
  const auto steps = static_cast<int>(std::lround(area.x.max / area.x.step));
  for (int step = 0; step <= steps; ++step) {
    const double value = area.x.step * step;
    html += "<line class=\"grid\" x1=\"";
    AppendRounded(html, PixelX(area, value), 2);
    html += "\" x2=\"";
    AppendRounded(html, PixelX(area, value), 2);
    html += "\" y1=\"20\" y2=\"" + std::to_string(height - 6) +
            "\"/><text text-anchor=\"middle\" y=\"14\" x=\"";
    AppendRounded(html, PixelX(area, value), 2);
    html += "\">";
    AppendSignificant(html, value, 6);
    html += "</text>\n";
  }
  for (std::size_t at = 0; at < rows; ++at)
    WriteChartRow(html, area, index.rows[at], at, by_utilisation);
  if (by_utilisation && area.x.max >= 1.0) {
    html += "<line class=\"limit\" x1=\"";
    AppendRounded(html, PixelX(area, 1.0), 2);
    html += "\" x2=\"";
    AppendRounded(html, PixelX(area, 1.0), 2);
    html += "\" y1=\"20\" y2=\"" + std::to_string(height - 6) + "\"/>\n";
  }
  html += "</svg>\n</section>\n";
}

// A cell of a number, empty when not `shown`.
void AppendCell(std::string& html, double value, bool shown) {
  html += "<td>";
  if (shown) AppendNumber(html, value);
  html += "</td>";
}

// A row of the table; the style aligns the columns of numbers.
void WriteTableRow(std::string& html, const IndexRow& row, std::size_t rank, bool first_failed) {
  const bool evaluated = row.status == kExitCompleted;
  html += evaluated      ? "<tr><td>"
          : first_failed ? "<tr class=\"failed\" id=\"failed\"><td>"
                         : "<tr class=\"failed\"><td>";
  if (evaluated) AppendRounded(html, static_cast<double>(rank), 0);
  html += "</td><td>";
  AppendLinkedName(html, row, std::string_view::npos);
  html += "</td>";
  AppendCell(html, row.damage, evaluated);
  html += "<td>";
  if (evaluated && row.damage == 0.0) html += "no end";
  if (evaluated && row.damage != 0.0) AppendNumber(html, 1.0 / row.damage);
  html += "</td>";
  const bool design = evaluated && row.has_design_life;
  AppendCell(html, row.utilisation, design);
  html += !design                  ? "<td></td>"
          : row.utilisation <= 1.0 ? "<td class=\"pass\">pass</td>"
                                   : "<td class=\"fail\">fail</td>";
  html += evaluated ? "<td>0</td>" : "<td class=\"status-failed\">";
  if (!evaluated) {
    html += static_cast<char>('0' + row.status);
    html += "</td>";
  }
  html += "<td>";
  AppendMarkupText(html, row.message, TextSource::kVisible);
  html += "</td></tr>\n";
}

void WriteTable(std::string& html, const BatchIndex& index) {
  html +=
      "<section id=\"hot-spots\">\n<h2>All hot spots, worst first</h2>\n"
      "<table class=\"hot-spots\">\n<thead><tr><th>#</th><th>Hot spot</th>"
      "<th>Damage per year</th><th>Life (years)</th><th>Utilisation</th><th>Verdict</th>"
      "<th>Status</th><th>Message</th></tr></thead>\n<tbody>\n";
  bool failed_seen = false;
  for (std::size_t at = 0; at < index.rows.size(); ++at) {
    const IndexRow& row = index.rows[at];
    const bool first_failed = row.status != kExitCompleted && !failed_seen;
    failed_seen = failed_seen || first_failed;
    WriteTableRow(html, row, at + 1, first_failed);
  }
  html += "</tbody>\n</table>\n</section>\n";
}

// Sorts `rows` worst first, failed ones last, each in input order: their keys are sorted, and
// the rows moved into place along the cycles of that order, without a second vector of rows.
void SortWorstFirst(std::vector<IndexRow>& rows, bool by_utilisation) {
  struct Key {
    bool failed;
    double weight;
    std::size_t at;
  };
  std::vector<Key> keys(rows.size());
  for (std::size_t at = 0; at < rows.size(); ++at) {
    keys[at] = {rows[at].status != kExitCompleted, Weight(rows[at], by_utilisation), at};
  }
  std::stable_sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
    if (a.failed || b.failed) return !a.failed && b.failed;
    return a.weight > b.weight;
  });
  for (std::size_t start = 0; start < keys.size(); ++start) {
    if (keys[start].at == start) continue;  // in place, or moved already
    IndexRow first = std::move(rows[start]);
    std::size_t to = start;
    while (keys[to].at != start) {
      const std::size_t from = keys[to].at;
      rows[to] = std::move(rows[from]);
      keys[to].at = to;
      to = from;
    }
    rows[to] = std::move(first);
    keys[to].at = to;
  }
}

}  // namespace

void AddIndexRow(BatchIndex& index, std::string_view name, const HotSpotInputs* inputs,
                 const HotSpotResult& result) {
  IndexRow& row = index.rows.emplace_back();
  row.name = name;
  std::size_t cut = std::min(result.message.size(), kIndexMessageRoom);
  while (cut < result.message.size() && cut > 0 &&
         (static_cast<unsigned char>(result.message[cut]) & 0xC0) == 0x80) {
    --cut;  // a character is kept whole or not at all
  }
  row.message = std::string_view(result.message).substr(0, cut);
  if (cut < result.message.size()) row.message += "\u2026";
  row.status = result.status;
  row.damage = result.damage;
  row.has_design_life = inputs != nullptr && inputs->has_design_life;
  if (row.has_design_life) row.utilisation = Utilisation(result, *inputs);
  if (row.status == kExitCompleted && !row.has_design_life) index.every_design_life = false;
}

void WriteBatchIndex(BatchIndex& index, const BatchOptions& options, const HotSpotList& list,
                     std::string& html) {
  const bool by_utilisation = ByUtilisation(index);
  SortWorstFirst(index.rows, by_utilisation);
  html.reserve(index.rows.size() * kRowBytes + kPageBytes);
  html = kHead;
  html += std::to_string(index.rows.size()) + " hot spots</title>\n";
  html += kStyle;
  html += "<h1>Fatigue damage of " + std::to_string(index.rows.size()) + " hot spots</h1>\n";
  WriteInputs(html, options, list, index.rows.size());
  WriteSummary(html, index, by_utilisation);
  WriteChart(html, index, by_utilisation);
  WriteTable(html, index);
  html +=
      "<p class=\"made\">Made by qartwo batch --plots. The numbers in full are in "
      "results.csv.</p>\n</body>\n</html>\n";
}

}  // namespace qartwo
