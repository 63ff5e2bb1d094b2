// Another computer for a test that must show nothing reaches one: a network
// namespace of its own, joined to this one by a veth pair with private
// addresses, running a server program; all of it removed with the object.
// Needs root (tests and CI run as root); ready() is false where it cannot be made.
#pragma once

#include "LocalServer.h"

#include <cstdlib>
#include <string>

namespace testsupport {

class OtherComputer {
public:
    OtherComputer() {
        // Names and a /30 of 10.200.0.0/13 of this process's own, so that runs side by side differ.
        const int id = getpid() % 16384;
        name_ = "olv" + std::to_string(id);
        const std::string net = "10." + std::to_string(200 + id / 2048) + "." +
                                std::to_string(id / 8 % 256) + "." + std::to_string(id % 8 * 4);
        here_ = net.substr(0, net.rfind('.') + 1) + std::to_string(id % 8 * 4 + 1);
        address_ = net.substr(0, net.rfind('.') + 1) + std::to_string(id % 8 * 4 + 2);
        made_ =
            sh("ip netns add " + name_) &&
            sh("ip link add " + name_ + "a type veth peer name " + name_ + "b netns " + name_) &&
            sh("ip addr add " + here_ + "/30 dev " + name_ + "a") &&
            sh("ip link set " + name_ + "a up") &&
            sh("ip -n " + name_ + " addr add " + address_ + "/30 dev " + name_ + "b") &&
            sh("ip -n " + name_ + " link set " + name_ + "b up");
    }
    ~OtherComputer() {
        server_.stop();
        sh("ip netns del " + name_ + " && while ip link show " + name_ + "a; do sleep 0.1; done");
    }
    OtherComputer(const OtherComputer&) = delete;
    OtherComputer& operator=(const OtherComputer&) = delete;

    // Starts `args` inside it with {port} and {address} filled in, standard error in `log`.
    bool start(std::vector<std::string> args, const std::string& log) {
        for (auto& arg : args) {
            arg = arg == "{port}"      ? std::to_string(server_.port())
                  : arg == "{address}" ? address_
                                       : arg;
        }
        args.insert(args.begin(), {"ip", "netns", "exec", name_});
        server_.start(args, log, address_);
        return server_.accepting();
    }

    bool ready() const { return made_; }
    std::string url() const { return "http://" + address_ + ":" + std::to_string(server_.port()); }

private:
    static bool sh(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    std::string name_;
    std::string here_;
    std::string address_;
    bool made_ = false;
    LocalServer server_;
};

} // namespace testsupport
