#include "cli/HelpFormatter.hpp"

#include <sstream>
#include <vector>

namespace qelt::cli {

namespace {

bool Named(const CLI::App* sub) { return !sub->get_name().empty(); }

// The commands that run something: "logger get", not "logger".
void CollectLeaves(const CLI::App* app, const std::string& prefix,
                   std::vector<std::pair<std::string, const CLI::App*>>& out) {
  for (const CLI::App* sub : app->get_subcommands([](const CLI::App* s) { return Named(s); })) {
    const std::string path = prefix.empty() ? sub->get_name() : prefix + " " + sub->get_name();
    if (sub->get_subcommands([](const CLI::App* s) { return Named(s); }).empty())
      out.emplace_back(path, sub);
    else
      CollectLeaves(sub, path, out);
  }
}

}  // namespace

HelpFormatter::HelpFormatter() { label("SUBCOMMAND", "COMMAND"); }

std::string HelpFormatter::make_option(const CLI::Option* opt, bool isPositional) const {
  const std::string name = "  " + make_option_name(opt, isPositional) + make_option_opts(opt);
  const std::string indent(column_width_, ' ');
  std::string out = name;
  if (name.size() + 2 > column_width_)
    out += "\n" + indent;
  else
    out += std::string(column_width_ - name.size(), ' ');
  for (char c : make_option_desc(opt)) {
    out += c;
    if (c == '\n') out += indent;
  }
  return out + "\n";
}

std::string HelpFormatter::make_subcommands(const CLI::App* app, CLI::AppFormatMode mode) const {
  if (mode != CLI::AppFormatMode::All) return Formatter::make_subcommands(app, mode);
  std::vector<std::pair<std::string, const CLI::App*>> leaves;
  CollectLeaves(app, "", leaves);
  if (leaves.empty()) return {};

  std::ostringstream out;
  out << "\nCommands:\n";
  for (const auto& [path, sub] : leaves) CLI::detail::format_help(out, path, sub->get_description(), column_width_);

  auto isHelp = [](const CLI::App* owner, const CLI::Option* opt) {
    return opt == owner->get_help_ptr() || opt == owner->get_help_all_ptr();
  };
  for (const auto& [path, sub] : leaves) {
    // The blank line keeps help2man from joining the options to the description.
    out << "\n" << path << ":\n  " << sub->get_description() << "\n\n";
    for (const CLI::Option* opt : sub->get_options([](const CLI::Option* o) { return o->get_positional(); }))
      out << make_option(opt, true);
    for (const CLI::Option* opt : sub->get_options([&](const CLI::Option* o) { return o->nonpositional(); }))
      if (!isHelp(sub, opt)) out << make_option(opt, false);
    // Option groups ("one of --count and --seconds") are nameless subcommands.
    for (const CLI::App* group : sub->get_subcommands([](const CLI::App* s) { return !Named(s); })) {
      for (const CLI::Option* opt : group->get_options([](const CLI::Option* o) { return o->nonpositional(); }))
        if (!isHelp(group, opt)) out << make_option(opt, false);
      if (!group->get_description().empty()) out << "  (" << group->get_description() << ")\n";
    }
  }
  return out.str();
}

}  // namespace qelt::cli
