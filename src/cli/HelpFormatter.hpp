#pragma once
// The help texts of qelt-cli. --help lists the commands; --help-all adds one
// block per command with every option, laid out so that help2man makes the
// manual page from it (a "name:" line, then indented lines).
#include <CLI/CLI.hpp>
#include <string>

namespace qelt::cli {

class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter();
  std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const override;
  // As CLI11's, but with at least two blanks between an option and its text,
  // which is how help2man tells them apart.
  std::string make_option(const CLI::Option* opt, bool isPositional) const override;
};

}  // namespace qelt::cli
