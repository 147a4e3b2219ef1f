#!/bin/sh
# Doxygen's filter of a public header: doc_comments.awk with the example programs beside it.
#   doc_filter.sh HEADER
docs=$(dirname "$0")
exec awk -v "examples=$(echo "$docs"/../examples/*.cpp)" -f "$docs/doc_comments.awk" "$1"
