#include <iostream>

#include "console/console_log.h"
#include "console/shown_name.h"
#include "image_tool/tool_commands.h"
#include "platform/last_error.h"

int RefuseInput(const std::string& subject, const std::string& what)
{
    std::cout.flush();
    // A name with a line break in it must not break the one line.
    std::cerr << "mendarovel-image: " << ShownName(subject) << ": " << what << '\n';
    return kExitBadInput;
}

int RefuseStandardOutput(const std::string& what)
{
    if (platform::IsBrokenPipe(platform::GetLastErrorCode()))
        return kExitBadInput;
    return RefuseInput("standard output", what + ": " + LastErrorText());
}
