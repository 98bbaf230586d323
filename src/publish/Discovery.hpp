#pragma once
// Home automation discovery: one retained configuration document per
// quantity and two for the energy totals, so that a listening home or
// building automation system sets up the instrument's sensors by itself.
#include <string>
#include <vector>

namespace qelt {

struct DiscoveryDocument {
  std::string Topic;    // PREFIX/sensor/qelt_ID/Q/config
  std::string Payload;  // JSON
};

// The 30 documents for instrument id, publishing under topicPrefix, with
// discoveryPrefix ("homeassistant" by default).
std::vector<DiscoveryDocument> DiscoveryDocuments(const std::string& discoveryPrefix, const std::string& topicPrefix,
                                                  const std::string& id);

}  // namespace qelt
