// Dynamic arrays of numbers, integers, texts and records, and the constant data lists.
#pragma once
