#include "platform/fake/fault_injector.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace zv::fake {
namespace {

void AbortOnUnfiredFault(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::abort();
}

UnfiredFaultReporter g_reporter = AbortOnUnfiredFault;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

bool Matches(const std::string& subject, std::initializer_list<std::string_view> subjects) {
  if (subject.empty()) return true;
  return std::any_of(subjects.begin(), subjects.end(), [&](std::string_view candidate) {
    return Lower(candidate).find(subject) != std::string::npos;
  });
}

}  // namespace

UnfiredFaultReporter SetUnfiredFaultReporter(UnfiredFaultReporter reporter) {
  const UnfiredFaultReporter previous = g_reporter;
  g_reporter = reporter != nullptr ? reporter : AbortOnUnfiredFault;
  return previous;
}

FaultInjector::~FaultInjector() { ReportUnfired(); }

void FaultInjector::ReportUnfired() const {
  for (const Rule& rule : rules_) {
    if (rule.fired) continue;
    g_reporter("the scripted failure of " + rule.operation +
               (rule.subject.empty() ? std::string() : " on \"" + rule.subject + "\"") +
               " never failed a call");
  }
}

void FaultInjector::Fail(const std::string& operation, uint32_t error, const std::string& subject,
                         int times, int skip) {
  if (times == 0 || times < -1 || skip < 0) return;
  rules_.push_back(Rule{operation, error, Lower(subject), times, skip});
}

void FaultInjector::Clear() {
  ReportUnfired();
  rules_.clear();
}

std::optional<uint32_t> FaultInjector::Check(std::string_view operation,
                                             std::initializer_list<std::string_view> subjects) {
  auto count = calls_.find(operation);
  if (count == calls_.end()) count = calls_.emplace(std::string(operation), 0).first;
  ++count->second;
  if (recording_) {
    CallRecord record{std::string(operation), std::string()};
    for (std::string_view subject : subjects) {
      if (!record.subjects.empty()) record.subjects += '|';
      record.subjects += subject;
    }
    recorded_.push_back(std::move(record));
  }
  for (auto it = rules_.begin(); it != rules_.end(); ++it) {
    if (it->operation != operation || !Matches(it->subject, subjects)) continue;
    if (it->skip > 0) {
      --it->skip;
      continue;
    }
    uint32_t error = it->error;
    it->fired = true;
    if (it->remaining > 0 && --it->remaining == 0) rules_.erase(it);
    return error;
  }
  return std::nullopt;
}

int FaultInjector::Calls(std::string_view operation) const {
  auto it = calls_.find(operation);
  return it == calls_.end() ? 0 : it->second;
}

}  // namespace zv::fake
