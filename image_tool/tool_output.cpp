#include <iostream>

#include "image_tool/tool_commands.h"
#include "task/console_log.h"

int RefuseInput(const std::string& subject, const std::string& what)
{
    std::cout.flush();
    std::cerr << "mendarovel-image: " << subject << ": " << what << '\n';
    return kExitBadInput;
}

std::string SystemErrorText()
{
    return CConsoleLog().GetLastErrorText();
}
