// Windows keeps no group rights on a COM port and no /proc to scan: the check there rests on
// the port's open failure and what the line answers.
#include "link/doctor_facts.h"

namespace radiolink::doctor {

std::string SystemName() { return "Windows"; }

AdapterFacts Adapter(const std::string&, const std::string&) { return {}; }

GroupFacts Groups(const std::string&) { return {}; }

std::vector<std::string> RunningProcesses(const std::vector<std::string>&) { return {}; }

}  // namespace radiolink::doctor
