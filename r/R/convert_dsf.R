# The converter's conversion of each input to a file; see ?convert_dsf.
convert_dsf <- function(input, output = NULL, format = c("vemo", "json", "mplus"),
                        list_separator = NULL, decimal_separator = NULL, quiet = FALSE) {
  if (!is.character(input) || length(input) == 0L || anyNA(input) || !all(nzchar(input))) {
    stop(sprintf("`input` must name one or more files, not %s", describe(input)), call. = FALSE)
  }
  if (!is.null(output) &&
      (!is.character(output) || length(output) != length(input) || anyNA(output) ||
       !all(nzchar(output)))) {
    stop(sprintf("`output` must be NULL or name one file for each of the %d inputs, not %s",
                 length(input), describe(output)), call. = FALSE)
  }
  # Left out or NULL, the output's extension decides, as on the command line; match.arg() would
  # take NULL for the first choice.
  format <- if (missing(format) || is.null(format)) NULL else match.arg(format)
  check_text(list_separator, "list_separator")
  check_text(decimal_separator, "decimal_separator")
  check_flag(quiet, "quiet")

  written <- character()
  failed <- character()
  failures <- character()
  for (i in seq_along(input)) {
    target <- if (is.null(output)) NULL else path.expand(output[[i]])
    converted <- .Call(C_dsf2vemo_convert, path.expand(input[[i]]), input[[i]], target, format,
                       list_separator, decimal_separator)
    if (!is.null(converted$failure)) {
      failed <- c(failed, input[[i]])
      failures <- c(failures, converted$failure)
      next
    }
    written <- c(written, converted$paths)
    if (!quiet) {
      for (text in converted$warnings) {
        warning(dsf2vemo_warning(input[[i]], text))
      }
    }
  }
  if (length(failures) > 0L) {
    stop(dsf2vemo_error(paste(failures, collapse = "\n"), input = failed, written = written))
  }
  invisible(written)
}
