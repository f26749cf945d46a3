// qartwo batch end to end: the built program over lists and command lines, its numbers against
// the dialogue's and the damage sum's, its usage errors, hostile file names, an earlier
// batch's files and a signal.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fatigue/catalogue.h"
#include "fatigue/damage.h"
#include "fatigue/sn_vector.h"
#include "run/assessment.h"
#include "run/histogram_file.h"
#include "run/sn_curve_file.h"
#include "support/io/file_open.h"
#include "support/io/units.h"
#include "support/text/csv.h"
#include "tests/e2e/run_qartwo.h"

namespace qartwo::testing {
namespace {

namespace fs = std::filesystem;

// A CSV file's rows as maps from its header's names to the fields.
using Table = std::vector<std::map<std::string, std::string>>;

Table ReadTable(const std::string& text) {
  Table table;
  std::vector<std::string> header, fields;
  std::size_t count = 0;
  for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
    end = text.find('\n', at);
    EXPECT_EQ(SplitCsvRecord(text.substr(at, end - at), fields, count), CsvProblem::kNone);
    if (header.empty()) {
      header.assign(fields.begin(), fields.begin() + static_cast<long>(count));
      continue;
    }
    auto& row = table.emplace_back();
    for (std::size_t i = 0; i < count && i < header.size(); ++i) row[header[i]] = fields[i];
  }
  return table;
}

// The column `name` of every row, joined by "|".
std::string Column(const Table& table, const std::string& name) {
  std::string joined;
  for (const auto& row : table) joined += (joined.empty() ? "" : "|") + row.at(name);
  return joined;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string CsvField(const std::string& text) {
  std::string field;
  AppendCsvField(field, text);
  return field;
}

double Number(const std::string& text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string Without(const std::string& text, std::size_t lines) {  // its first lines dropped
  std::size_t at = 0;
  for (std::size_t i = 0; i < lines && at != std::string::npos; ++i) at = text.find('\n', at) + 1;
  return at == std::string::npos ? "" : text.substr(at);
}

// The rows of index.html's table: each row's cells' texts (tags dropped), joined by "|".
std::vector<std::string> IndexRows(const std::string& html) {
  std::vector<std::string> rows;
  const std::size_t end = html.find("</tbody>");
  for (std::size_t at = html.find("<tbody>"); (at = html.find("<tr", at + 1)) < end;) {
    std::string row;
    for (std::size_t c = html.find("<td", at); c < html.find("</tr>", at);
         c = html.find("<td", c + 1)) {
      std::string cell = html.substr(c, html.find("</td>", c) - c);
      for (std::size_t tag; (tag = cell.find('<')) != std::string::npos;) {
        cell.erase(tag, cell.find('>', tag) - tag + 1);
      }
      row += "|" + cell;
    }
    rows.push_back(row.substr(1));
  }
  return rows;
}

// True when every file of `folder` ending in .svg is well-formed XML, or xmllint is missing.
bool WellFormed(const std::string& folder) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) return true;
  return std::system(("xmllint --noout " + folder + "/*.svg").c_str()) == 0;
}

// The dialogue run in this process on `answers`: its exit status and standard error.
std::pair<int, std::string> RunDialogue(const std::string& answers) {
  std::string input = answers;
  char* diagnostics = nullptr;
  std::size_t size = 0;
  ConnectUnit(kConsoleInput, fmemopen(input.data(), input.size(), "r"), Connection{});
  ConnectUnit(kConsoleOutput, std::fopen("/dev/null", "w"), Connection{});
  ConnectUnit(kDiagnosticOutput, open_memstream(&diagnostics, &size), Connection{});
  const int status = RunAssessment();  // closes the units, so the text is complete
  ConnectConsoleUnits();
  std::string text(diagnostics, size);
  std::free(diagnostics);
  return {status, text};
}

// The damage per year QAR02X computes from what the readers take from the files, and the
// thickness correction it applies.
std::pair<double, ThicknessCorrection> DamageFromReaders(const std::string& histogram,
                                                         int curve_number, const std::string& file,
                                                         std::array<double, 2> plate) {
  std::array<char, kTextLength> line{}, name{};
  std::vector<double> counts(kMaxBlocks), curve(kCurveVectorLength);
  EXPECT_EQ(OpenInputFile(histogram, 21), 0);
  const HistogramFileResult read = ReadHistogramFile(21, line, counts);
  static_cast<void>(CloseUnit(21));
  if (curve_number > 0) {
    int n = 0, flag = 0;
    std::vector<int> start(kCatalogueStartRoom), names(kCatalogueNameRoom * kNameLength);
    std::vector<double> values(kCatalogueValueRoom);
    SNDBASE(n, start, values, names, kNameLength, 99, flag);
    const int first = start[std::size_t(curve_number) - 1];
    SNCOPY(std::span(values).subspan(std::size_t(first) - 1), curve,
           start[std::size_t(curve_number)] - first, 1, 0);
  } else {
    EXPECT_EQ(OpenInputFile(file, 22), 0);
    static_cast<void>(ReadSnCurveFile(22, line, curve, name, 99));
    static_cast<void>(CloseUnit(22));
  }
  double damage = 0;
  int flag = 0;
  DamageDetail detail;
  QAR02X(counts, curve, plate,
         std::array{1.0, double(read.number_of_blocks), read.block_width, read.spare_value}, damage,
         99, flag, &detail);
  return {damage, detail.thickness};
}

// Every built-in curve at SCF 1, 2.5 and 12 and thicknesses 0, 16, 25 and 50, the example user
// curve, and each kind of input error and refusal, in one batch: its status and message are the
// dialogue's exit status and standard error for the same answers, its report the dialogue's but
// the date line, its damage bit for bit what QAR02X makes of the readers' values, and the block
// damages add up to it in block order.
TEST(Batch, SameNumbersAsTheDialogue) {
  struct Row {
    std::string name, histogram = "hist.txt", curve, scf = "", thickness = "";
    bool asks_again = false;  // the dialogue asks for another file: its first line counts
  };
  std::vector<Row> rows;
  for (int curve = 1; curve <= 50; ++curve) {
    for (const char* scf : {"1", "2.5", "12"}) {
      for (const char* thickness : {"0", "16", "25", "50"}) {
        rows.push_back({.name = std::to_string(curve) + "_" + scf + "_" + thickness,
                        .curve = std::to_string(curve),
                        .scf = scf,
                        .thickness = thickness});
      }
    }
  }
  const std::vector<Row> others = {
      {.name = "user curve", .curve = "curve.txt", .scf = "2.5", .thickness = "50"},
      {.name = "code 1 curve", .curve = "c1.txt", .scf = "12", .thickness = "50"},
      {.name = "word", .histogram = "word.txt", .curve = "6"},
      {.name = "no header", .histogram = "empty.txt", .curve = "6"},
      {.name = "too many blocks", .histogram = "many.txt", .curve = "6"},
      {.name = "mismatch", .histogram = "five.txt", .curve = "6"},
      {.name = "surplus note", .histogram = "comma.txt", .curve = "6"},
      {.name = "not finite", .histogram = "huge.txt", .curve = "6"},
      {.name = "no histogram", .histogram = "none.txt", .curve = "6", .asks_again = true},
      {.name = "no curve file", .curve = "none.txt", .asks_again = true},
      {.name = "curve word", .curve = "word_curve.txt"},
      {.name = "four per segment", .curve = "four.txt"},
      {.name = "too long a curve", .curve = "long.txt"}};
  rows.insert(rows.end(), others.begin(), others.end());
  ScratchDirectory directory;
  std::string many = "10001 1 0\n";
  for (int i = 0; i < 10001; ++i) many += "1 1\n";
  const std::map<std::string, std::string> files = {
      {"word.txt", "4 10.0 0\n1 abc\n"},
      {"empty.txt", ""},
      {"many.txt", many},
      {"five.txt", ReadTestFile("data/five_of_four_histogram.txt")},
      {"comma.txt", "1 10 0\n1 200,000\n"},
      {"huge.txt", "2 1E5 0\n1 1E307\n2 1E307\n"},
      {"word_curve.txt", "name\n1 3 0\n12 x 0\n"},
      {"four.txt", "name\n1 4 0\n"},
      {"long.txt", "name\n9 3 0\n"},
      {"c1.txt", ReadSourceFile("examples/curves/c1_air.txt")}};
  for (const auto& [name, content] : files) directory.Write(name, content);
  std::string list = "name,histogram,curve,scf,thickness\n";
  for (const Row& row : rows) {
    const bool file = row.curve.find('.') != std::string::npos;
    list += CsvField(row.name) + "," + directory.PathOf(row.histogram) + "," +
            (file ? directory.PathOf(row.curve) : row.curve) + "," + row.scf + "," + row.thickness +
            "\n";
  }
  directory.Write("list.csv", list);
  const ProgramRun batch = directory.Run("", "", "batch --reports --blocks --list list.csv");
  EXPECT_EQ(batch.exit_status, 1) << batch.diagnostics;
  const Table table = ReadTable(directory.Read("qartwo-results/results.csv"));
  ASSERT_EQ(table.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const auto& got = table[i];
    SCOPED_TRACE(row.name);
    const bool file = row.curve.find('.') != std::string::npos;
    const std::string answers =
        directory.PathOf("report.txt") + "\n" + directory.PathOf(row.histogram) + "\n" + row.scf +
        "\n" + row.thickness + "\n" +
        (file ? "n\n" + directory.PathOf(row.curve) : "y\n" + row.curve) + "\n";
    fs::remove(directory.PathOf("report.txt"));
    const auto [status, diagnostics] = RunDialogue(answers);
    std::string message;
    for (std::size_t at = 0, end; at < diagnostics.size() && !(row.asks_again && at > 0);
         at = end + 1) {
      end = diagnostics.find('\n', at);
      if (end > at) message += (message.empty() ? "" : " | ") + diagnostics.substr(at, end - at);
    }
    EXPECT_EQ(got.at("status"), std::to_string(row.asks_again ? 2 : status));
    EXPECT_EQ(got.at("message"), message);
    const std::string report = directory.Read("qartwo-results/" + row.name + ".report.txt");
    const std::string blocks = directory.Read("qartwo-results/" + row.name + ".blocks.csv");
    if (got.at("status") != "0") {
      EXPECT_EQ(report + blocks, "");
      if (got.at("damage_per_year").empty()) continue;
    } else {
      EXPECT_EQ(Without(report, 1), Without(directory.Read("report.txt"), 1));
    }
    const auto [damage, thickness] =
        DamageFromReaders(directory.PathOf(row.histogram), file ? 0 : std::stoi(row.curve),
                          directory.PathOf(row.curve),
                          {Number(row.thickness), row.scf.empty() ? 1.0 : Number(row.scf)});
    EXPECT_EQ(std::bit_cast<std::uint64_t>(Number(got.at("damage_per_year"))),
              std::bit_cast<std::uint64_t>(damage))
        << got.at("damage_per_year");
    EXPECT_EQ(got.at("thickness_factor").empty(), !thickness.applies);  // QAR02A's rule
    EXPECT_EQ(Number(got.at("thickness_factor")), thickness.applies ? thickness.factor : 0.0);
    if (blocks.empty()) continue;
    double sum = 0.0;
    for (const auto& block : ReadTable(blocks)) sum += Number(block.at("damage_per_year"));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(sum), std::bit_cast<std::uint64_t>(damage));
  }
}

// The list as CSV, the command line and every usage error (status 2, nothing written). `names`
// and `values` (the column `column`) are what results.csv holds, joined by "|".
TEST(Batch, ReadsListsAndRefusesUsageErrors) {
  struct Row {
    std::string arguments, list = "", error = "", names = "", column = "scf", values = "";
  };
  const std::string l = "--curve 6 --list list.csv ", many_a = std::string(201, 'a');
  const Row rows[] = {
      {.arguments = l,
       .list = "\xEF\xBB\xBFname , histogram,scf\r\n\" a, \"\"b\"\" \",hist.txt, 2.5 "
               "\r\n\r\nc,hist.txt,\r\n",
       .names = " a, \"b\" |c",
       .values = "2.5|1"},
      {.arguments = "--curve 6 --list sub/l.csv",
       .names = "h.txt",
       .column = "histogram",
       .values = "h.txt"},
      {.arguments = "--curve=6 --scf=2 -o out -- hist.txt", .names = "hist.txt", .values = "2"},
      {.arguments = l,
       .list = "histogram,scfx\n",
       .error = "list 'list.csv' line 1: column 'scfx' is unknown (the columns are histogram, "
                "name, curve, scf, thickness, design_life, dff)"},
      {.arguments = l,
       .list = "histogram\nhist.txt\n\nhist.txt\n",
       .error = "two hot spots are named 'hist.txt' (line 2 and line 4): give them names of their "
                "own in a name column"},
      {.arguments = "--curve 6 hist.txt ./hist.txt",
       .error = "two hot spots are named 'hist.txt' (histogram 1 and histogram 2): give them names "
                "of their own in a name column"},
      {.arguments = l,
       .list = "histogram,scf,scf\n",
       .error = "list 'list.csv' line 1: column 'scf' is named twice"},
      {.arguments = l, .list = "name\nx\n", .error = "list 'list.csv' line 1: no histogram column"},
      {.arguments = l,
       .list = "histogram,scf\nhist.txt\n",
       .error = "list 'list.csv' line 2: 1 fields, the header has 2"},
      {.arguments = l,
       .list = "histogram\n\"hist.txt\n",
       .error = "list 'list.csv' line 2: a quoted field is not closed"},
      {.arguments = l, .list = "histogram\n", .error = "the list holds no hot spot"},
      {.arguments = l, .list = "\n", .error = "list 'list.csv' has no header row"},
      {.arguments = "--curve 6 --list none.csv",
       .error = "cannot read the list 'none.csv': No such file or directory"},
      {.arguments = l,
       .list = "histogram,name\nhist.txt,..\n",
       .error = "line 2: the hot spot name '..' names a folder"},
      {.arguments = l,
       .list = "histogram,name\nhist.txt,a/b\n",
       .error = "line 2: the hot spot name 'a/b' holds a '/'"},
      {.arguments = l,
       .list = "histogram,name\nhist.txt,\"a\tb\"\n",
       .error = "line 2: the hot spot name 'a\\tb' holds a control character"},
      {.arguments = l,
       .list = "histogram,name\nhist.txt," + many_a + "\n",
       .error = "line 2: the hot spot name '" + many_a + "' is longer than 200 bytes"},
      {.arguments = "--list list.csv",
       .list = "histogram\nhist.txt\n",
       .error = "no curve: give --curve or a curve column"},
      {.arguments = "--list list.csv",
       .list = "histogram,curve\nhist.txt,6\nhist.txt,\n",
       .error = "line 3: no curve (give --curve, or a curve in every row)"},
      {.arguments = l + "--dff 2",
       .list = "histogram\nhist.txt\n",
       .error = "--dff needs a design life: give --design-life or a design_life column"},
      {.arguments = "--frobnicate hist.txt", .error = "unknown option '--frobnicate'"},
      {.arguments = "hist.txt --curve", .error = "--curve needs a value"},
      {.arguments = "--curve 51 hist.txt",
       .error = "--curve '51': the built-in curves are numbered 1 to 50 (write ./51 for a file of "
                "that name)"},
      {.arguments = "--curve 6 --scf 1,5 hist.txt", .error = "--scf '1,5': it is not one number"},
      {.arguments = "--curve 6 --thickness 1e999 hist.txt",
       .error = "--thickness '1e999': the number is too large"},
      {.arguments = "--curve 6 --design-life 0 hist.txt",
       .error = "--design-life '0': it must be above 0"},
      {.arguments = "--curve 6 --dff 2 hist.txt",
       .error = "--dff needs a design life: give --design-life"},
      {.arguments = "--curve 6 --curve 7 hist.txt", .error = "--curve is given twice"},
      {.arguments = "--curve 6 --plots --plots hist.txt", .error = "--plots is given twice"},
      {.arguments = l + "hist.txt", .error = "give either --list or histograms, not both"},
      {.arguments = "--curve 6", .error = "no hot spots: give histograms or --list"},
      {.arguments = "hist.txt", .error = "no curve: give --curve"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments + " with " + row.list);
    ScratchDirectory directory;
    fs::create_directory(directory.PathOf("sub"));
    directory.Write("sub/h.txt", directory.Read("hist.txt"));
    directory.Write("sub/l.csv", "histogram\nh.txt\n");
    if (!row.list.empty()) directory.Write("list.csv", row.list);
    const ProgramRun run = directory.Run("", "", "batch " + row.arguments);
    if (!row.error.empty()) {
      EXPECT_EQ(run.exit_status, 2);
      EXPECT_EQ(run.diagnostics, "qartwo batch: " + row.error + "\nTry 'qartwo batch --help'.\n");
      EXPECT_EQ(run.console, "");
      EXPECT_FALSE(fs::exists(directory.PathOf("qartwo-results")));
      continue;
    }
    EXPECT_EQ(run.exit_status, 0) << run.diagnostics;
    const std::string folder =
        row.arguments.find("-o out") != std::string::npos ? "out" : "qartwo-results";
    const Table table = ReadTable(directory.Read(folder + "/results.csv"));
    EXPECT_EQ(Column(table, "hot_spot"), row.names);
    EXPECT_EQ(Column(table, row.column), row.values);
  }
  ScratchDirectory directory;  // its own usage, and nothing else
  const ProgramRun help = directory.Run("", "", "batch --curve 99 --help");
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_TRUE(help.console.starts_with("Usage: qartwo batch [OPTIONS] HISTOGRAM...\n"));
  EXPECT_NE(help.console.find("\n  --plots "), std::string::npos);
  EXPECT_EQ(directory.Entries(), 2);
}

// Names with commas, quotes, blanks, '#', '%', '?', a leading '-' and letters beyond ASCII, on
// the command line and in a list: each hot spot keeps its name in results.csv and for its files.
TEST(Batch, TakesHostileFileNames) {
  const std::vector<std::string> names = {"a,b.txt",      "q\"uote\".txt", " blank .txt",
                                          "#hash.txt",    "%20pct.txt",    "what?.txt",
                                          "\xC3\xB8.txt", "-x.txt"};
  ScratchDirectory directory;
  std::string arguments = "batch --curve 6 --reports --blocks -o cli --", list = "histogram\n";
  for (const std::string& name : names) {
    directory.Write(name, directory.Read("hist.txt"));
    arguments += " " + ShellQuoted(name);
    list += CsvField(name) + "\n";
  }
  directory.Write("list.csv", list);
  for (const std::string& command :
       {arguments, std::string("batch --curve 6 --reports --plots --list list.csv -o list")}) {
    SCOPED_TRACE(command);
    const ProgramRun run = directory.Run("", "", command);
    EXPECT_EQ(run.exit_status, 0) << run.diagnostics;
    const std::string folder = command.find("-o cli") != std::string::npos ? "cli/" : "list/";
    const Table table = ReadTable(directory.Read(folder + "results.csv"));
    ASSERT_EQ(table.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(table[i].at("hot_spot"), names[i]);
      EXPECT_EQ(table[i].at("histogram"), names[i]);
      EXPECT_EQ(table[i].at("damage_per_year"), table[0].at("damage_per_year"));
      EXPECT_NE(directory.Read(folder + names[i] + ".report.txt"), "") << names[i];
    }
  }
  // Each picture's link in index.html, percent-decoded, is its name; the table has a row each.
  const std::string html = directory.Read("list/index.html");
  std::vector<std::string> linked;
  for (std::size_t at = html.find("<tbody>");
       (at = html.find("href=\"", at)) != std::string::npos;) {
    std::string link = html.substr(at + 6, html.find('"', at + 6) - at - 6);
    for (std::size_t p = 0; (p = link.find('%', p)) != std::string::npos; ++p) {
      link.replace(p, 3, 1, static_cast<char>(std::stoi(link.substr(p + 1, 2), nullptr, 16)));
    }
    linked.push_back(link);
    at += 6;
  }
  std::vector<std::string> pictures;
  for (const std::string& name : names) pictures.push_back(name + ".svg");
  EXPECT_EQ(linked, pictures);
  EXPECT_EQ(IndexRows(html).size(), names.size());
  EXPECT_TRUE(WellFormed(directory.PathOf("list")));
}

// index.html's table: worst first, by utilisation when every hot spot evaluated has a design
// life, else by damage; failed hot spots last with their messages, shown as the diagnostics
// show them (no backslash doubled) and escaped, invalid UTF-8 as \xNN.
TEST(Batch, IndexListsWorstFirst) {
  struct Row {
    std::string lives, by;  // the design_life cells of a, b, c, d; the column ordered by
  };
  const Row rows[] = {{.lives = "25,5,25,40", .by = "utilisation"},
                      {.lives = "25,,25,40", .by = "damage_per_year"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lives);
    ScratchDirectory directory;
    std::vector<std::string> lives(4);
    for (std::size_t i = 0, at = 0; i < 4; ++i, at = row.lives.find(',', at) + 1) {
      lives[i] = row.lives.substr(at, row.lives.find(',', at) - at);
    }
    directory.Write("list.csv", "name,histogram,scf,design_life\na,hist.txt,1," + lives[0] +
                                    "\nb,hist.txt,2," + lives[1] + "\nc,\"x\xFF\x01.txt\",1," +
                                    lives[2] + "\nd,hist.txt,1.5," + lives[3] + "\n");
    const ProgramRun run = directory.Run("", "", "batch --curve 6 --plots --list list.csv");
    EXPECT_EQ(run.exit_status, 1) << run.diagnostics;
    Table table = ReadTable(directory.Read("qartwo-results/results.csv"));
    std::stable_sort(table.begin(), table.end(), [&](const auto& a, const auto& b) {
      if (a.at("status") != "0" || b.at("status") != "0") return a.at("status") < b.at("status");
      return Number(a.at(row.by)) > Number(b.at(row.by));
    });
    std::string expected, shown;
    for (const auto& hot_spot : table) expected += hot_spot.at("hot_spot") + "|";
    const std::vector<std::string> cells = IndexRows(directory.Read("qartwo-results/index.html"));
    for (const std::string& cell : cells) shown += cell.substr(cell.find('|') + 1, 1) + "|";
    EXPECT_EQ(shown, expected);
    EXPECT_NE(cells.back().find("cannot use &quot;x\\xFF\\x01.txt&quot; as the cycle histogram"),
              std::string::npos)
        << cells.back();
  }
}

// The picture README shows is the one the program makes from the example list.
TEST(Batch, ReadmePictureIsTheProgramsOwn) {
  ScratchDirectory directory;
  const std::string list = std::string(QARTWO_SOURCE_DIR) + "/examples/hot_spots.csv";
  const ProgramRun run = directory.Run("", "", "batch --plots -o out --list " + ShellQuoted(list));
  EXPECT_EQ(run.exit_status, 0) << run.diagnostics;
  EXPECT_EQ(directory.Read("out/leg_a2.svg"), ReadSourceFile("docs/hot_spot_leg_a2.svg"))
      << "make it again: see README, Many hot spots";
}

// A failing hot spot removes its files of an earlier batch whatever the options, a complete
// batch an earlier results.partial.csv, and only a batch that replaced or removed files syncs,
// once; a signal stops the batch between two hot spots (here one waiting for a FIFO's writer)
// with the rows done in results.partial.csv, no results.csv and no index.html.
TEST(Batch, OutputFolderAgreesWithResultsCsv) {
  const bool traced = std::system("strace -o /dev/null true 2>/dev/null") == 0;
  const std::string trace =
      traced ? "env ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=syncfs,fsync" : "";
  ScratchDirectory directory;
  const auto syncs = [](const std::string& diagnostics) {
    std::size_t count = 0;
    for (std::size_t at = 0; (at = diagnostics.find("sync", at)) != std::string::npos; ++at)
      ++count;
    return count;
  };
  ProgramRun run =
      directory.Run("", "", "batch --curve 6 --reports --blocks hist.txt gone.txt", trace);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(syncs(run.diagnostics), 0U) << run.diagnostics;  // all new
  for (const char* old :
       {"gone.txt.report.txt", "gone.txt.blocks.csv", "gone.txt.svg", "results.partial.csv"}) {
    directory.Write(std::string("qartwo-results/") + old, "from an earlier batch\n");
  }
  // Without --reports and --blocks too; index.html also when a hot spot failed.
  run = directory.Run("", "", "batch --curve 6 --plots hist.txt gone.txt", trace);
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(syncs(run.diagnostics), traced ? 1U : 0U) << run.diagnostics;
  EXPECT_EQ(std::distance(fs::directory_iterator(directory.PathOf("qartwo-results")), {}), 5);
  const std::vector<std::string> rows = IndexRows(directory.Read("qartwo-results/index.html"));
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_TRUE(rows[1].starts_with("|gone.txt|||||2| *** ERROR: cannot use &quot;gone.txt&quot;"))
      << rows[1];
  ASSERT_EQ(mkfifo(directory.PathOf("fifo").c_str(), 0600), 0);
  run = directory.Run("", "",
                      "batch --curve 6 --plots hist.txt fifo curve.txt & sleep 1; kill -TERM $!; "
                      "wait $!");
  EXPECT_EQ(run.exit_status, 128 + SIGTERM);
  EXPECT_EQ(run.diagnostics,
            "qartwo batch: stopped by signal 15 after 1 of 3 hot spots; their rows are in "
            "qartwo-results/results.partial.csv\n");
  EXPECT_FALSE(fs::exists(directory.PathOf("qartwo-results/results.csv")));
  EXPECT_FALSE(fs::exists(directory.PathOf("qartwo-results/index.html")));
  EXPECT_EQ(Column(ReadTable(directory.Read("qartwo-results/results.partial.csv")), "hot_spot"),
            "hist.txt");
}

}  // namespace
}  // namespace qartwo::testing
