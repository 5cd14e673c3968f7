#include <iostream>

#include "console/console_log.h"
#include "console/shown_name.h"
#include "image/image_target.h"
#include "image_tool/tool_commands.h"
#include "platform/last_error.h"
#include "image_tool/tool_interrupt.h"

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

int EndStandardOutput(int status)
{
    std::cout.flush();
    return std::cout ? status : RefuseStandardOutput("cannot write");
}

int CommitNewFile(CImageTarget& file, const std::string& target)
{
    if (file.Commit(CommandCancelled))
        return kExitDone;
    if (CommandCancelled())
        return RefuseInput(target, "cancelled; nothing was written");
    return RefuseInput(target, "cannot write: " + LastErrorText());
}

int RefuseSameFile(const std::string& target)
{
    return RefuseInput(target, "is the file being read; nothing was written (name another file)");
}
