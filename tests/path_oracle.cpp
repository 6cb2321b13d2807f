// Answers check_paths.py: one request a line, ["diff", source, target],
// ["patch", document, patch] or ["pointer", document, text], each answered on
// a line of its own by {"value": ...} or {"error": id}.

#include <quarrow/json.hpp>

#include <iostream>
#include <string>

int main()
{
    using quarrow::json;
    std::string line;
    while (std::getline(std::cin, line))
    {
        const json request = json::parse(line);
        const std::string& kind = request[0].get_ref<const std::string&>();
        json answer;
        try
        {
            json value;
            if (kind == "diff")
            {
                value = json::diff(request[1], request[2]);
            }
            else if (kind == "patch")
            {
                value = request[1].patch(request[2]);
            }
            else
            {
                value = request[1].at(quarrow::json_pointer(request[2].get_ref<const std::string&>()));
            }
            answer["value"] = value;
        }
        catch (const json::exception& e)
        {
            answer["error"] = e.id;
        }
        std::cout << answer.dump() << '\n';
    }
    return 0;
}
