// Umbrella header: the whole public interface of the core library.
#pragma once

#include "kezo/extract.h"
#include "kezo/keyphrase.h"
#include "kezo/language.h"
#include "kezo/language_id.h"
#include "kezo/snapper.h"
#include "kezo/stopwords.h"
#include "kezo/text.h"
#include "kezo/types.h"
#include "kezo/unicode.h"
