#include "game/openings.h"

namespace tesmor {

namespace {

constexpr int P(char letter, int number) {
  return PointIndex(number - 1, letter - 'A');
}

constexpr std::array<NamedOpening, OpeningCount> kCatalogue = {{
    {1, "寒星", P('H', 9), P('H', 10), 10104}, {2, "溪月", P('H', 9), P('I', 10), 10205},
    {3, "疏星", P('H', 9), P('J', 10), 10508}, {4, "花月", P('H', 9), P('I', 9), 10102},
    {5, "残月", P('H', 9), P('J', 9), 10405},  {6, "雨月", P('H', 9), P('I', 8), 10201},
    {7, "金星", P('H', 9), P('J', 8), 10504},  {8, "松月", P('H', 9), P('H', 7), 10401},
    {9, "丘月", P('H', 9), P('I', 7), 10502},  {10, "新月", P('H', 9), P('J', 7), 10805},
    {11, "瑞星", P('H', 9), P('H', 6), 10904}, {12, "山月", P('H', 9), P('I', 6), 11005},
    {13, "游星", P('H', 9), P('J', 6), 11308}, {14, "长星", P('I', 9), P('J', 10), 20208},
    {15, "峡月", P('I', 9), P('J', 9), 20105}, {16, "恒星", P('I', 9), P('J', 8), 20204},
    {17, "水月", P('I', 9), P('J', 7), 20505}, {18, "流星", P('I', 9), P('J', 6), 21008},
    {19, "云月", P('I', 9), P('I', 8), 20101}, {20, "浦月", P('I', 9), P('I', 7), 20402},
    {21, "岚月", P('I', 9), P('I', 6), 20905}, {22, "银月", P('I', 9), P('H', 7), 20501},
    {23, "明星", P('I', 9), P('H', 6), 21004}, {24, "斜月", P('I', 9), P('G', 7), 20802},
    {25, "名月", P('I', 9), P('G', 6), 21305}, {26, "彗星", P('I', 9), P('F', 6), 21808},
}};

bool Within(const MoveRecord& m, int low, int high) {
  return m.row >= low && m.row <= high && m.col >= low && m.col <= high;
}

int SquaredDistance(MoveRecord a, MoveRecord b) {
  const int dr = a.row - b.row;
  const int dc = a.col - b.col;
  return dr * dr + dc * dc;
}

}  // namespace

const std::array<NamedOpening, OpeningCount>& OpeningCatalogue() {
  return kCatalogue;
}

bool IsLegalOpening(const GameState& state) {
  if (state.moveCount < 3) return false;
  const MoveRecord& first = state.history[0];
  return first.row == 7 && first.col == 7 && Within(state.history[1], 6, 8) &&
         Within(state.history[2], 5, 9);
}

int OpeningKey(MoveRecord p0, MoveRecord p1, MoveRecord p2) {
  return 10000 * SquaredDistance(p0, p1) + 100 * SquaredDistance(p1, p2) + SquaredDistance(p0, p2);
}

const NamedOpening* FindOpening(const GameState& state) {
  if (!IsLegalOpening(state)) return nullptr;
  const int key = OpeningKey(state.history[0], state.history[1], state.history[2]);
  for (const NamedOpening& opening : kCatalogue)
    if (opening.key == key) return &opening;
  return nullptr;
}

std::string OpeningName(const GameState& state) {
  const NamedOpening* opening = FindOpening(state);
  return opening ? opening->name : "";
}

std::string OpeningRefusal(const GameState& state) {
  GameState trial;
  for (int i = 0; i < 2; ++i) trial.Play(state.history[i].row, state.history[i].col);
  std::array<bool, OpeningCount + 1> possible{};
  for (int point = 0; point < CellCount; ++point) {
    if (trial.cell(PointRow(point), PointCol(point)) != Empty) continue;
    const ScopedPlay third(trial, PointRow(point), PointCol(point));
    if (const NamedOpening* opening = FindOpening(trial)) possible[opening->number] = true;
  }
  std::string names;
  for (const NamedOpening& opening : kCatalogue)
    if (possible[opening.number]) names += (names.empty() ? "" : "、") + std::string(opening.name);
  if (names.empty()) return "第一手须下在天元（H8），第二手须紧挨第一手。";
  return "第三手只能构成以下开局之一：" + names + "。";
}

std::array<int, 3> OpeningStones(int number) {
  const NamedOpening& opening = kCatalogue.at(static_cast<size_t>(number - 1));
  return {P('H', 8), opening.second, opening.third};
}

}  // namespace tesmor
