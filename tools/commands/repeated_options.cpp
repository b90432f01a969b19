#include "commands/repeated_options.h"

namespace vykcn::tool {

CLI::Option* AddListOption(CLI::App* command, const std::string& name, const std::string& valueName,
                           const std::string& help, std::function<void(const std::string&)> take) {
  return command
      ->add_option_function<std::vector<std::string>>(
          name,
          [take](const std::vector<std::string>& values) {
            for (const std::string& value : values) take(value);
          },
          help + " (repeatable, or a comma-separated list)")
      ->delimiter(',')
      ->allow_extra_args(false)
      ->option_text(valueName + "[," + valueName + "...]");
}

CLI::Option* AddFilesOption(CLI::App* command, const std::string& name, std::vector<std::string>* files,
                            const std::string& help) {
  return command->add_option(name, *files, help + " (one file each time: repeat the option for more)")
      ->allow_extra_args(false)
      ->option_text("FILE");
}

}  // namespace vykcn::tool
