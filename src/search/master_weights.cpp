#include "search/master_weights.h"

#include <array>
#include <charconv>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>
#include <string_view>

namespace tesmor {

namespace {

struct Field {
  const char* name;
  int MasterWeights::*member;
};

constexpr std::array kFields = {
    Field{"one", &MasterWeights::one},
    Field{"open_one", &MasterWeights::openOne},
    Field{"two", &MasterWeights::two},
    Field{"open_two", &MasterWeights::openTwo},
    Field{"three", &MasterWeights::three},
    Field{"open_three", &MasterWeights::openThree},
    Field{"four", &MasterWeights::four},
    Field{"open_four", &MasterWeights::openFour},
    Field{"double_three", &MasterWeights::doubleThree},
    Field{"four_three", &MasterWeights::fourThree},
    Field{"double_four", &MasterWeights::doubleFour},
    Field{"three_two", &MasterWeights::threeTwo},
    Field{"double_two", &MasterWeights::doubleTwo},
    Field{"defence_num", &MasterWeights::defenceNum},
    Field{"defence_den", &MasterWeights::defenceDen},
    Field{"tempo", &MasterWeights::tempo},
    Field{"order_defence", &MasterWeights::orderDefence},
    Field{"reduction_moves", &MasterWeights::reductionMoves},
    Field{"leaf_vcf_nodes", &MasterWeights::leafVcfNodes},
    Field{"open_moves", &MasterWeights::openMoves},
    Field{"root_vct_nodes", &MasterWeights::rootVctNodes},
    Field{"iteration_percent", &MasterWeights::iterationPercent},
    Field{"three_extension", &MasterWeights::threeExtension},
    Field{"counter_four_cost", &MasterWeights::counterFourCost},
};

constexpr int CellCountLimit = 225;  // no node has more moves than the board has points

bool ParseValue(std::string_view text, int& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && value >= -1000000 && value <= 1000000;
}

}  // namespace

bool MasterWeights::Read(std::istream& in, std::string& error) {
  MasterWeights read = *this;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    std::istringstream words(line);
    std::string name, value, extra;
    if (!(words >> name) || name[0] == '#') continue;
    const auto where = "line " + std::to_string(number) + ": ";
    if (!(words >> value) || (words >> extra)) {
      error = where + "expected 'name value'";
      return false;
    }
    const Field* field = nullptr;
    for (const Field& f : kFields)
      if (name == f.name) field = &f;
    if (!field) {
      error = where + "unknown weight '" + name.substr(0, 40) + "'";
      return false;
    }
    if (!ParseValue(value, read.*(field->member))) {
      error = where + "'" + value.substr(0, 40) + "' is not a whole number";
      return false;
    }
  }
  // The search's knobs have ranges of their own; the values may be anything.
  const struct {
    const char* name;
    int value;
    int low;
    int high;
  } knobs[] = {{"defence_den", read.defenceDen, 1, 1000000},
               {"reduction_moves", read.reductionMoves, 0, CellCountLimit},
               {"leaf_vcf_nodes", read.leafVcfNodes, 0, 1000000},
               {"open_moves", read.openMoves, 1, CellCountLimit},
               {"root_vct_nodes", read.rootVctNodes, 0, 1000000},
               {"iteration_percent", read.iterationPercent, 1, 100},
               {"three_extension", read.threeExtension, 0, 1},
               {"counter_four_cost", read.counterFourCost, 0, 2}};
  for (const auto& knob : knobs) {
    if (knob.value < knob.low || knob.value > knob.high) {
      error = std::string(knob.name) + " must be from " + std::to_string(knob.low) + " to " +
              std::to_string(knob.high);
      return false;
    }
  }
  *this = read;
  return true;
}

bool MasterWeights::ReadFile(const std::string& path, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  if (!Read(in, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

void MasterWeights::Write(std::ostream& out) const {
  for (const Field& field : kFields) out << field.name << ' ' << this->*(field.member) << '\n';
}

}  // namespace tesmor
