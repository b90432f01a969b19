#include "common/problem.h"

namespace vykcn::tool {

std::string PlaceOf(const Problem& problem) {
  std::string place = problem.file;
  if (problem.line > 0) place += ":" + std::to_string(problem.line);
  return place.empty() ? place : place + ": ";
}

std::string FormatProblem(const Problem& problem) {
  static const char* const kNames[] = {"error", "warning", "note"};
  const std::string category = problem.category.empty() ? "" : " [" + problem.category + "]";
  return PlaceOf(problem) + kNames[static_cast<int>(problem.severity)] + ": " + problem.message + category;
}

}  // namespace vykcn::tool
