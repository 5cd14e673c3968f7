#include <iostream>

#include "image_tool/tool_commands.h"
#include "task/console_log.h"
#include "task/shown_name.h"

int RefuseInput(const std::string& subject, const std::string& what)
{
    std::cout.flush();
    // A name with a line break in it must not break the one line.
    std::cerr << "mendarovel-image: " << ShownName(subject) << ": " << what << '\n';
    return kExitBadInput;
}

std::string SystemErrorText()
{
    return CConsoleLog().GetLastErrorText();
}
