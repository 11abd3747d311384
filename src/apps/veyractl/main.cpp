// veyractl: back up, restore and examine processors from scripts.
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "cli_app.hpp"
#include "sim/sim_transport.hpp"

int main(int argc, char** argv) {
  veyra::RegisterSimulatorTransport();
  return veyra::ctl::RunVeyractl(argc, argv, std::cout, std::cerr, isatty(fileno(stderr)) != 0);
}
