# The conditions the package signals: a failure is an error of class "dsf2vemo_error" carrying
# the converter's own words, what it found in a file read successfully a warning of class
# "dsf2vemo_warning", so that either can be caught by its class.

dsf2vemo_error <- function(message, input, written = character()) {
  structure(
    class = c("dsf2vemo_error", "error", "condition"),
    list(message = message, call = NULL, input = input, written = written)
  )
}

dsf2vemo_warning <- function(input, text) {
  structure(
    class = c("dsf2vemo_warning", "warning", "condition"),
    list(message = paste0(input, ": ", text), call = NULL, input = input)
  )
}

check_path <- function(x, argument) {
  if (!is.character(x) || length(x) != 1L || is.na(x) || !nzchar(x)) {
    stop(sprintf("`%s` must be one file name, not %s", argument, describe(x)), call. = FALSE)
  }
}

check_flag <- function(x, argument) {
  if (!is.logical(x) || length(x) != 1L || is.na(x)) {
    stop(sprintf("`%s` must be TRUE or FALSE, not %s", argument, describe(x)), call. = FALSE)
  }
}

check_text <- function(x, argument) {
  if (!is.null(x) && (!is.character(x) || length(x) != 1L || is.na(x))) {
    stop(sprintf("`%s` must be NULL or one string, not %s", argument, describe(x)),
         call. = FALSE)
  }
}

describe <- function(x) {
  if (is.null(x)) {
    "NULL"
  } else if (length(x) != 1L) {
    sprintf("a %s vector of length %d", typeof(x), length(x))
  } else if (is.na(x)) {
    "NA"
  } else {
    sprintf("a %s", typeof(x))
  }
}
