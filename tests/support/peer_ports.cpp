#include "support/peer_ports.h"

#include <cstdlib>
#include <fstream>

namespace fhr::test {

namespace {
std::string PortsFile() { return std::string(FHR_BUILD_DIR) + "/peers/ports.env"; }
}  // namespace

std::optional<PeerPorts> PeerPorts::Load() {
  std::ifstream in(PortsFile());
  if (!in) return std::nullopt;
  PeerPorts ports;
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq != std::string::npos) ports.values_[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return ports;
}

int PeerPorts::port(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? 0 : std::atoi(it->second.c_str());
}

std::string PeerPorts::value(const std::string& name) const {
  auto it = values_.find(name);
  return it == values_.end() ? std::string() : it->second;
}

std::string PeersMissingMessage() {
  return "the loopback peers are not running (" + PortsFile() + " is missing); start them with "
         "tests/support/peers.sh start";
}

bool PeersRequired() {
  const char* required = std::getenv("FHR_REQUIRE_PEERS");
  return required && std::string(required) == "1";
}

bool InjectNoise(int count) {
  std::string command = "FHR_PEERS_DIR='" + std::string(FHR_BUILD_DIR) + "/peers' '" +
                        std::string(FHR_SOURCE_DIR) + "/tests/support/peers.sh' inject " +
                        std::to_string(count) + " >/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace fhr::test
