// tesmor-bookgen: writes the text of the default opening book from the engine's own searches.
//
// For each of the 26 RIF openings in its catalogue orientation it grades White's fourth moves,
// Black's fifth moves for each fourth move kept, and White's sixth moves for each fifth move
// kept. Every graded position goes to a cache file as soon as it is done, so that a run that was
// stopped resumes where it left off, and a rerun with the same settings writes the same text.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/standard_options.h"
#include "board/file_io.h"
#include "board/input_echo.h"
#include "book/book_format.h"
#include "book/book_text.h"
#include "bookgen/book_analysis.h"
#include "game/openings.h"

namespace {

using tesmor::bookgen::GradedMove;
using tesmor::bookgen::NodePlan;

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

const char* const Usage =
    "usage: tesmor-bookgen book [--threads N] [--cache FILE] [--openings 1,2,...] OUTPUT.txt\n"
    "           grade the openings and write the book's text\n"
    "       tesmor-bookgen analyse [--ply 4|5|6] \"H8 H9 J10\"\n"
    "           grade one position with the settings of its ply and print the moves\n";

// One level of the book: how its positions are graded and how many of their moves are kept.
struct Ply {
  const char* what;
  NodePlan plan;
  size_t kept;
};

// Fourth, fifth and sixth moves, at the depth of the level table's "5级". The fourth moves are
// few, so they get the widest search ("8级"'s width); the sixth moves, three times as many
// positions as all the others together, grade the fewest candidates.
const Ply kPlies[] = {
    {"fourth moves (White)", {10, 5, 20, 4, 5}, 3},
    {"fifth moves (Black)", {10, 5, 16, 3, 4}, 4},
    {"sixth moves (White)", {8, 5, 16, 3, 4}, 2},
};

const Ply& PlyFor(int moveCount) {
  return kPlies[moveCount - 3];
}

// Graded positions by plan and stones, kept in memory and appended to a file line by line:
//   PLAN|STONES|POINT:VALUE:ORDER:PROVEN,...
// A line cut short by a stopped run does not parse and is graded again.
class GradeCache {
 public:
  explicit GradeCache(std::filesystem::path path) : path_(std::move(path)) {
    std::ifstream in(path_);
    std::string line;
    while (std::getline(in, line)) {
      std::string key;
      std::vector<GradedMove> moves;
      if (Parse(line, key, moves)) entries_[key] = moves;
    }
  }

  size_t size() const { return entries_.size(); }

  std::optional<std::vector<GradedMove>> Find(const std::string& key) {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(key);
    if (found == entries_.end()) return std::nullopt;
    return found->second;
  }

  void Store(const std::string& key, const std::vector<GradedMove>& moves) {
    std::lock_guard lock(mutex_);
    entries_[key] = moves;
    std::ofstream out(path_, std::ios::app);
    out << key << '|';
    for (size_t i = 0; i < moves.size(); ++i) {
      const GradedMove& m = moves[i];
      out << (i ? "," : "") << tesmor::PointText(m.point) << ':' << m.value << ':' << m.order << ':'
          << (m.proven ? 1 : 0);
    }
    out << '\n';
  }

 private:
  static bool Parse(const std::string& line, std::string& key, std::vector<GradedMove>& moves) {
    const size_t bar = line.rfind('|');
    if (bar == std::string::npos || line.find('|') == bar) return false;
    key = line.substr(0, bar);
    std::istringstream list(line.substr(bar + 1));
    std::string item;
    while (std::getline(list, item, ',')) {
      GradedMove m;
      char point[4] = {};
      int proven = 0;
      if (std::sscanf(item.c_str(), "%3[A-O0-9]:%d:%d:%d", point, &m.value, &m.order, &proven) != 4)
        return false;
      m.point = tesmor::ParsePoint(point);
      if (m.point == tesmor::NoPoint || (proven != 0 && proven != 1)) return false;
      m.proven = proven == 1;
      moves.push_back(m);
    }
    return true;
  }

  std::filesystem::path path_;
  std::mutex mutex_;
  std::map<std::string, std::vector<GradedMove>> entries_;
};

class Generator {
 public:
  explicit Generator(GradeCache& cache) : cache_(cache) {}

  // The subtree of an opening's third stone.
  tesmor::BookNode Opening(const tesmor::NamedOpening& opening) {
    const std::array<int, 3> stones = tesmor::OpeningStones(opening.number);
    std::vector<int> path(stones.begin(), stones.end());
    tesmor::BookNode third{opening.third, 0, {}};
    third.children = Grow(path, opening.name);
    return third;
  }

 private:
  // The kept moves of the position after path, each with the subtree below it.
  std::vector<tesmor::BookNode> Grow(std::vector<int>& path, const char* name) {
    tesmor::GameState game = tesmor::bookgen::PositionOf(path);
    const Ply& ply = PlyFor(game.moveCount);
    const std::vector<GradedMove> kept = tesmor::bookgen::FillWithTwins(
        game, tesmor::bookgen::TakeDistinct(game, Graded(game, ply.plan, path, name), ply.kept),
        ply.kept);
    const std::string marks = tesmor::bookgen::MarksFor(kept, game.SideToMove());
    std::vector<tesmor::BookNode> nodes;
    for (size_t i = 0; i < kept.size(); ++i) {
      tesmor::BookNode node{kept[i].point, static_cast<uint8_t>(marks[i]), {}};
      if (game.moveCount < 5) {
        path.push_back(kept[i].point);
        node.children = Grow(path, name);
        path.pop_back();
      }
      nodes.push_back(std::move(node));
    }
    return nodes;
  }

  std::vector<GradedMove> Graded(const tesmor::GameState& game, const NodePlan& plan,
                                 const std::vector<int>& path, const char* name) {
    const std::string key = plan.Text() + '|' + tesmor::bookgen::StonesText(game);
    if (std::optional<std::vector<GradedMove>> known = cache_.Find(key)) return *known;
    const auto start = std::chrono::steady_clock::now();
    std::vector<GradedMove> moves = tesmor::bookgen::AnalysePosition(game, plan);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    cache_.Store(key, moves);
    std::ostringstream line;
    line << name << ' ';
    for (int p : path) line << ' ' << tesmor::PointText(p);
    line << ": " << moves.size() << " moves in " << seconds.count() << " s\n";
    std::cerr << line.str() << std::flush;
    return moves;
  }

  GradeCache& cache_;
};

std::string PlanLines() {
  std::string text;
  for (const Ply& ply : kPlies)
    text += "#   " + std::string(ply.what) + ": " + ply.plan.Text() +
            ", kept=" + std::to_string(ply.kept) + "\n";
  return text;
}

std::string Header() {
  return "# Tesmor's opening book: the 26 RIF openings in their catalogue orientation, each with\n"
         "# graded fourth, fifth and sixth moves. Written by tesmor-bookgen from the engine's own\n"
         "# searches; rebuild it with scripts/make-book.sh rather than editing it.\n"
         "#\n"
         "# Each position's moves are the side to move's best points by the candidate table, a\n"
         "# move dropped when a symmetry of the board or a shift makes it a twin of a better one\n"
         "# (for Black's fifth move the RIF equivalence test) and when it leaves standing the\n"
         "# opponent's win by continuous fours. Each is valued by iterative deepening alpha-beta\n"
         "# with a full window of its own, iteration d searching 2d plies below it, with the\n"
         "# level table's width and keep fraction; the kept moves are the best by that value.\n"
         "# Where symmetry leaves fewer distinct moves than are kept (White's one block of an\n"
         "# open three and its mirror image), the twins of kept moves fill in with their values;\n"
         "# Black's fifth moves never do, so that any two of them make a valid offering.\n"
         "#   candidates=N moves graded, depth=D last iteration, width=W, keep=K/L, kept=M\n" +
         PlanLines() +
         "# Marks: \"!\" for the first move of a win by continuous fours of the side to move\n"
         "# (found within 12 attacking steps). Otherwise a letter by the rank of the value,\n"
         "# read from Black's side: Black's best move A, the next B and so on; White's best G,\n"
         "# the next F and so on. Equal values share a letter, at most four moves to a letter.\n"
         "#\n";
}

// Writes the tree with a comment naming each opening above its third stone; second is the
// point of the second stone above the level being written.
void WriteLines(const std::vector<tesmor::BookNode>& nodes, int depth, int second,
                std::string& out) {
  for (const tesmor::BookNode& node : nodes) {
    for (const tesmor::NamedOpening& opening : tesmor::OpeningCatalogue())
      if (depth == 2 && opening.second == second && opening.third == node.point)
        out += "    # " + std::to_string(opening.number) + " " + opening.name + "\n";
    out.append(static_cast<size_t>(2 * depth), ' ');
    out += tesmor::PointText(node.point);
    if (node.mark != 0) out += std::string(" ") + static_cast<char>(node.mark);
    out += '\n';
    WriteLines(node.children, depth + 1, depth == 1 ? node.point : second, out);
  }
}

int Book(const std::vector<std::string>& args) {
  int threads = 2;
  std::filesystem::path cachePath = "bookgen.cache";
  std::vector<int> only;
  std::string output;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool hasValue = i + 1 < args.size();
    if (args[i] == "--threads" && hasValue) {
      threads = std::atoi(args[++i].c_str());
    } else if (args[i] == "--cache" && hasValue) {
      cachePath = args[++i];
    } else if (args[i] == "--openings" && hasValue) {
      std::istringstream list(args[++i]);
      std::string number;
      while (std::getline(list, number, ',')) only.push_back(std::atoi(number.c_str()));
    } else if (output.empty() && args[i].rfind("--", 0) != 0) {
      output = args[i];
    } else {
      std::cerr << Usage;
      return ExitUsage;
    }
  }
  if (output.empty() || threads < 1) {
    std::cerr << Usage;
    return ExitUsage;
  }
  std::vector<tesmor::NamedOpening> openings;
  for (const tesmor::NamedOpening& opening : tesmor::OpeningCatalogue())
    if (only.empty() || std::find(only.begin(), only.end(), opening.number) != only.end())
      openings.push_back(opening);

  GradeCache cache(cachePath);
  std::cerr << "tesmor-bookgen: " << cache.size() << " graded positions in " << cachePath << "\n";
  const auto start = std::chrono::steady_clock::now();
  std::vector<tesmor::BookNode> thirds(openings.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    Generator generator(cache);
    for (size_t i = next++; i < openings.size(); i = next++)
      thirds[i] = generator.Opening(openings[i]);
  };
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) workers.emplace_back(work);
  for (std::thread& worker : workers) worker.join();

  // H8, then the two second stones, each with its openings' third stones in catalogue order.
  tesmor::BookNode centre{tesmor::PointIndex(7, 7), 0, {}};
  for (size_t i = 0; i < openings.size(); ++i) {
    const int second = openings[i].second;
    auto found = std::find_if(centre.children.begin(), centre.children.end(),
                              [&](const tesmor::BookNode& n) { return n.point == second; });
    if (found == centre.children.end())
      found = centre.children.insert(centre.children.end(), tesmor::BookNode{second, 0, {}});
    found->children.push_back(std::move(thirds[i]));
  }
  const tesmor::BookTree tree{centre};

  std::string text = Header();
  WriteLines(tree, 0, tesmor::NoPoint, text);
  const tesmor::BookTextResult check = tesmor::ParseBookText(text);
  if (!check.ok || check.tree != tree) {
    std::cerr << "tesmor-bookgen: the written text does not read back as the book: " << check.error
              << "\n";
    return ExitFailed;
  }
  std::string error;
  if (!tesmor::WriteFileAtomically(
          output, {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, &error)) {
    std::cerr << "tesmor-bookgen: " << output << ": " << error << "\n";
    return ExitFailed;
  }
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
  std::cerr << "tesmor-bookgen: " << output << ": " << tesmor::CountBookNodes(tree) << " moves; "
            << seconds.count() << " s\n";
  return ExitOk;
}

int Analyse(const std::vector<std::string>& args) {
  int plyNumber = 0;
  std::string position;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--ply" && i + 1 < args.size())
      plyNumber = std::atoi(args[++i].c_str());
    else
      position += args[i] + " ";
  }
  std::vector<int> moves;
  std::istringstream words(position);
  std::string word;
  while (words >> word) {
    const int p = tesmor::ParsePoint(word);
    if (p == tesmor::NoPoint) {
      std::cerr << "tesmor-bookgen: \"" << tesmor::EchoInput(word) << "\" is not a point\n";
      return ExitUsage;
    }
    moves.push_back(p);
  }
  tesmor::GameState game = tesmor::bookgen::PositionOf(moves);
  if (plyNumber == 0) plyNumber = game.moveCount + 1;
  if (plyNumber < 4 || plyNumber > 6) {
    std::cerr << Usage;
    return ExitUsage;
  }
  const Ply& ply = kPlies[plyNumber - 4];
  const auto start = std::chrono::steady_clock::now();
  const std::vector<GradedMove> graded = tesmor::bookgen::AnalysePosition(game, ply.plan);
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
  const std::string marks = tesmor::bookgen::MarksFor(graded, game.SideToMove());
  for (size_t i = 0; i < graded.size(); ++i)
    std::cout << tesmor::PointText(graded[i].point) << ' ' << marks[i] << ' ' << graded[i].value
              << ' ' << graded[i].order << '\n';
  std::cerr << ply.plan.Text() << ": " << seconds.count() << " s\n";
  return ExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = tesmor::AnswerStandardOption(argc, argv, "tesmor-bookgen",
                                                    [](std::ostream& out) { out << Usage; });
  if (answered >= 0) return answered;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "book") return Book({args.begin() + 1, args.end()});
  if (!args.empty() && args[0] == "analyse") return Analyse({args.begin() + 1, args.end()});
  std::cerr << Usage;
  return ExitUsage;
}
