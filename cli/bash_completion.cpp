#include "bash_completion.h"

#include "help_text.h"

#include <set>
#include <sstream>

namespace cli {
namespace {

// What completes a placeholder: a file, a station of the configuration, or nothing.
std::string_view KindOf(std::string_view placeholder) {
    static const std::set<std::string_view> kFiles{"CONFIG", "TAGS", "BACKUP", "PATH"};
    static const std::set<std::string_view> kStations{"STATION", "FROM", "TO", "NAME"};
    if (kFiles.count(placeholder) != 0) {
        return "file";
    }
    return kStations.count(placeholder) != 0 ? "station" : "none";
}

// A placeholder or literal with its brackets and dots taken off.
std::string Bare(std::string token) {
    while (!token.empty() && (token.front() == '[' || token.front() == '(')) {
        token.erase(0, 1);
    }
    while (!token.empty() && (token.back() == ']' || token.back() == '.' || token.back() == ')')) {
        token.pop_back();
    }
    return token;
}

std::vector<std::string> Tokens(std::string_view text) {
    std::vector<std::string> tokens;
    std::istringstream words{std::string(text)};
    for (std::string word; words >> word;) {
        if (word[0] != '-' && word[0] != '[' && word != "|") {
            tokens.push_back(word);
        }
    }
    return tokens;
}

// For each operand position, what completes it: "choice:a b c", "file", "station", "none";
// the last one repeats when it ends in "...".
std::string OperandCases(const Command& command) {
    std::vector<std::vector<std::string>> forms{Tokens(command.operands)};
    for (const std::string_view more : command.moreUsages) {
        forms.push_back(Tokens(more));
    }
    std::string cases;
    for (size_t position = 0;; ++position) {
        std::set<std::string> choices;
        std::string kind = "none";
        bool any = false;
        for (const auto& form : forms) {
            if (position >= form.size()) {
                continue;
            }
            any = true;
            const std::string token = Bare(form[position]);
            const bool literal = !token.empty() && token[0] >= 'a' && token[0] <= 'z';
            if (literal) {
                choices.insert(token);
            } else if (kind == "none") {
                kind = std::string(KindOf(token));
            }
        }
        if (!any) {
            break;
        }
        std::string words;
        for (const std::string& choice : choices) {
            words += (words.empty() ? "" : " ") + choice;
        }
        cases += "            " + std::to_string(position) + ") kind=\"" +
                 (choices.empty() ? kind : "choice:" + words) + "\" ;;\n";
    }
    const std::vector<std::string>& first = forms[0];
    if (!first.empty() && first.back().size() > 3 &&
        first.back().compare(first.back().size() - 3, 3, "...") == 0) {
        cases += "            *) kind=\"" + std::string(KindOf(Bare(first.back()))) + "\" ;;\n";
    }
    return cases;
}

std::string ValueKind(const Option& option) {
    const std::string value(option.value);
    if (value.find('|') != std::string::npos) {
        std::string choices = value;
        for (char& c : choices) {
            c = c == '|' ? ' ' : c;
        }
        return "choice:" + choices;
    }
    return std::string(KindOf(value));
}

std::string CommandCase(const Command& command) {
    std::string options;
    std::string valueCases;
    for (const Option& option : command.options) {
        options += std::string(option.name) + " ";
        if (!option.value.empty()) {
            valueCases += "            " + std::string(option.name) + ") kind=\"" +
                          ValueKind(option) + "\" ;;\n";
        }
    }
    const std::string label = command.name.empty() ? "*" : std::string(command.name);
    return "    " + label + ")\n        options=\"" + options + "--help\"\n" +
           "        case \"$prev\" in\n" + valueCases + "        esac\n" +
           "        if [ -z \"$kind\" ]; then\n"
           "            if [[ \"$cur\" == -* ]]; then\n"
           "                COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "                return\n"
           "            fi\n"
           "            case \"$position\" in\n" +
           OperandCases(command) + "            esac\n        fi\n        ;;\n";
}

std::string FunctionName(std::string_view toolName) {
    std::string name = "_";
    for (const char c : toolName) {
        name += c == '-' ? '_' : c;
    }
    return name;
}

} // namespace

std::string BashCompletion(const Tool& tool) {
    const bool oneCommand = tool.commands.size() == 1 && tool.commands[0].name.empty();
    std::string commands;
    std::set<std::string> valueOptions;
    for (const Command& command : tool.commands) {
        commands += std::string(command.name) + " ";
        for (const Option& option : command.options) {
            if (!option.value.empty()) {
                valueOptions.insert(std::string(option.name));
            }
        }
    }
    std::string takesValue;
    for (const std::string& option : valueOptions) {
        takesValue += (takesValue.empty() ? "" : "|") + option;
    }
    const std::string first = oneCommand ? "1" : "2";
    std::string script =
        "# bash completion for " + std::string(tool.name) +
        ", made from its command-line description\n" + FunctionName(tool.name) + "() {\n" +
        "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n" +
        "    local command=\"${COMP_WORDS[1]}\" options=\"\" kind=\"\" position=0 i word\n" +
        "    local -a operands=()\n";
    if (!oneCommand) {
        script += "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
                  "        COMPREPLY=($(compgen -W \"" +
                  commands +
                  "--help --version -V\" -- \"$cur\"))\n"
                  "        return\n    fi\n";
    }
    // Operands so far: words that are neither options nor an option's value.
    script += "    for ((i = " + first +
              "; i < COMP_CWORD; i++)); do\n"
              "        word=\"${COMP_WORDS[i]}\"\n"
              "        case \"$word\" in\n"
              "            " +
              (takesValue.empty() ? "--never-an-option" : takesValue) +
              ") ((i++)) ;;\n"
              "            -*) ;;\n"
              "            *) operands+=(\"$word\") ;;\n"
              "        esac\n"
              "    done\n"
              "    position=${#operands[@]}\n"
              "    case \"" +
              (oneCommand ? std::string("*") : std::string("$command")) + "\" in\n";
    for (const Command& command : tool.commands) {
        script += CommandCase(command);
    }
    script +=
        "    *) return ;;\n    esac\n"
        "    case \"$kind\" in\n"
        "        choice:*) COMPREPLY=($(compgen -W \"${kind#choice:}\" -- \"$cur\")) ;;\n"
        "        file) COMPREPLY=($(compgen -f -- \"$cur\")) ;;\n"
        "        station)\n"
        "            [ -n \"${operands[0]}\" ] || return\n"
        "            # Names come from a file: compared as text, never expanded by the shell.\n"
        "            local name\n"
        "            while IFS= read -r name; do\n"
        "                [[ \"$name\" == \"$cur\"* ]] && COMPREPLY+=(\"$name\")\n"
        "            done < <(timeout 5 \"${COMP_WORDS[0]}\" show \"${operands[0]}\" --names "
        "2>/dev/null)\n"
        "            ;;\n"
        "    esac\n"
        "}\n"
        "complete -o filenames -F " +
        FunctionName(tool.name) + " " + std::string(tool.name) + "\n";
    return script;
}

} // namespace cli
