# Doxygen input filter for include/kvn/*.h: the headers' plain // comments become doc comments.
#   awk -v examples="DIR/a.cpp DIR/b.cpp ..." -f doc_comments.awk HEADER   (see doc_filter.sh)
# The comment above #pragma once describes the header's subsystem, a group holding the
# members of its namespace. In a namespace or a class, a comment documents the declarations
# below it up to the next blank or comment line (a member group sharing the comment, which
# lists the example programs calling any of them); a comment after a declaration on its line
# documents that declaration. A "// ---- Title ----" section line documents a run of
# declarations right below it that has no comment of its own. Comments inside function bodies
# stay plain.
BEGIN {
  in_head = 1
  depth = 0
  # The example programs calling each name: used[name] = " hello.cpp sprites.cpp".
  n = split(examples, files, " ")
  for (f = 1; f <= n; ++f) {
    short = files[f]
    sub(/.*\//, "", short)
    while ((getline line < files[f]) > 0) {
      while (match(line, /[A-Za-z_][A-Za-z0-9_]*\(/)) {
        called = substr(line, RSTART, RLENGTH - 1)
        if (index(used[called] " ", " " short " ") == 0) used[called] = used[called] " " short
        line = substr(line, RSTART + RLENGTH)
      }
    }
    close(files[f])
  }
}
FNR == 1 {
  name = FILENAME
  sub(/.*\//, "", name)
  group = name
  sub(/\.h$/, "", group)
}
# Prints the waiting comment and the declarations it documents as one member group, with
# the examples that call them.
# A definition (its body opens in the last line) is documented without the group markers.
function flush(definition,   i, j, k, list, parts, found, count, seen) {
  if (comment == "" && decls == "") return
  list = ""
  count = split(decl_names, parts, " ")
  for (i = 1; i <= count; ++i) {
    k = split(used[parts[i]], found, " ")
    for (j = 1; j <= k; ++j) {
      if (!(found[j] in seen)) { seen[found[j]] = 1; list = list " \\ref " found[j] }
    }
  }
  printf "%s", comment
  if (list != "" && decls != "") print "/// \\par Examples\n///" list
  if (decls != "" && definition) printf "%s", decls
  else if (decls != "") printf "///@{\n%s///@}\n", decls
  comment = ""
  decls = ""
  decl_names = ""
}
# Counts the braces of a line: a brace opened by a namespace, class, struct or enum line (or
# the line after one) is a scope, any other a body.
function track_braces(line,   i, c, kind) {
  kind = (line ~ /(namespace|class|struct|enum)[ \t]/ || scope_next) ? "scope" : "body"
  scope_next = (line ~ /^[ \t]*(template.*)?(class|struct|enum)[ \t][^;]*$/ && line !~ /\{/)
  for (i = 1; i <= length(line); ++i) {
    c = substr(line, i, 1)
    if (c == "{") stack[++depth] = kind
    else if (c == "}" && depth > 0) --depth
  }
}
function in_scope(   i) {
  for (i = 1; i <= depth; ++i) if (stack[i] != "scope") return 0
  return 1
}
# The group's title: the header's name and the head comment up to its first colon or full stop.
in_head && /^\/\/ / {
  head = head " * " substr($0, 4) "\n"
  next
}
in_head && /^#pragma once/ {
  title_text = substr(head, 4)
  sub(/[:.\n].*/, "", title_text)
  print "/** \\defgroup " group " " name " - " title_text
  printf "%s */\n", head
  in_head = 0
  next
}
in_head { print; next }
# The group is opened again inside the namespace, so it holds the namespace's members.
/^namespace [a-z_]+ \{/ && depth == 0 {
  print
  track_braces($0)
  print "/** \\addtogroup " group " */"
  print "/** @{ */"
  next
}
/^}  \/\/ namespace/ && depth == 1 { flush(); print "/** @} */"; print; --depth; next }
/^[ \t]*\/\/ ---- .* ----[ \t]*$/ {
  flush()
  title = $0
  sub(/^[ \t]*\/\/ ---- /, "", title)
  sub(/ ----[ \t]*$/, "", title)
  print ""
  next
}
/^[ \t]*\/\// && in_scope() {
  if (decls != "") flush()
  title = ""
  line = $0
  sub(/\/\//, "///", line)
  comment = comment line "\n"
  next
}
/^[ \t]*$/ || /^[ \t]*\/\// || /^[ \t]*}/ || /^[ \t]*(public|private|protected):/ {
  flush()
  if ($0 !~ /^[ \t]*$/) title = ""
  print
  track_braces($0)
  next
}
{
  line = $0
  if (line ~ /[;{][ \t]*\/\/ / && line !~ /NOLINT/ && in_scope()) sub(/\/\/ /, "///< ", line)
  scope = in_scope()
  track_braces($0)
  # A run of declarations under a section title and no comment of its own shares the title.
  if (scope && comment == "" && decls == "" && title != "") comment = "/// " title "\n"
  title = ""
  # A class or namespace keeps its comment for itself; its members are documented inside it.
  if (!scope || comment == "" || line ~ /(namespace|class|struct|enum|using)[ \t]/) {
    flush()
    print line
    next
  }
  decls = decls line "\n"
  if (match(line, /[A-Za-z_][A-Za-z0-9_]*\(/)) decl_names = decl_names " " substr(line, RSTART, RLENGTH - 1)
  if (depth > 0 && stack[depth] == "body") flush(1)
}
END { flush() }
